// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_run.h"

#include "core/study/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace dictora {
namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(DefaultCues, PlacedOnlyInACfgFolderMadeNowAndNeverOverALearnersCue)
{
    QTemporaryDir temp;
    const QString source = temp.filePath(QStringLiteral("cues/"));
    ASSERT_TRUE(QDir().mkpath(source));
    for (const char* cue : {"Tip.wav", "Error.wav", "Match.wav"})
        ASSERT_TRUE(writeFile(source + QLatin1String(cue), QByteArray("RIFF ") + cue));

    const ProgramFolder fresh{temp.filePath(QStringLiteral("fresh/"))};
    EXPECT_TRUE(prepareDataFolders(fresh, source).contains(QStringLiteral("Cfg")));
    EXPECT_EQ(readFile(fresh.cfgFolder() + QStringLiteral("Match.wav")), "RIFF Match.wav");
    EXPECT_TRUE(QFileInfo(fresh.cfgFolder() + QStringLiteral("Tip.wav")).isWritable());

    // A cue the learner removed stays away; one they replaced stays theirs.
    ASSERT_TRUE(QFile::remove(fresh.cfgFolder() + QStringLiteral("Tip.wav")));
    ASSERT_TRUE(QFile::remove(fresh.cfgFolder() + QStringLiteral("Error.wav")));
    ASSERT_TRUE(writeFile(fresh.cfgFolder() + QStringLiteral("Error.wav"), "mine"));
    EXPECT_TRUE(prepareDataFolders(fresh, source).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(fresh.cfgFolder() + QStringLiteral("Tip.wav")));
    placeDefaultCues(fresh, source);
    EXPECT_EQ(readFile(fresh.cfgFolder() + QStringLiteral("Error.wav")), "mine");
}

TEST(DefaultCues, DictoraCliFurnishesTheProgramFolderItMakes)
{
    // Run first in a new program folder, dictora-cli leaves the cues there
    // as Dictora would, so the program finds them when it starts later.
    QTemporaryDir home;
    const test::CliRun run = test::runCli({"units"}, home.path());
    ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
    for (const char* cue : {"Tip.wav", "Error.wav", "Match.wav"})
        EXPECT_TRUE(readFile(home.filePath(QStringLiteral("Cfg/") + QLatin1String(cue))).startsWith("RIFF"))
            << cue;
}

} // namespace
} // namespace dictora
