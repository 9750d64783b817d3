// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/sound_cues.h"

#include "core/media/media_commands.h"
#include "core/study/program_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace dictora {
namespace {

// Remembers what was sent, as the media layer's own log would.
class RecordingCommands : public MediaCommands {
public:
    QString send(const QString& command) override
    {
        sent << command;
        return {};
    }
    QStringList sent;
};

TEST(SoundCues, OpenedInOrderWithQuotedPaths)
{
    const ProgramFolder folder{QStringLiteral("/home/learner/my dictora/")};
    RecordingCommands media;
    openSoundCues(media, folder);
    EXPECT_EQ(media.sent,
              QStringList({
                  "Open \"/home/learner/my dictora/Cfg/Tip.wav\" Type MPEGVideo Alias TIP_WAV",
                  "Open \"/home/learner/my dictora/Cfg/Error.wav\" Type MPEGVideo Alias ERROR_WAV",
                  "Open \"/home/learner/my dictora/Cfg/Match.wav\" Type MPEGVideo Alias MATCH_WAV",
              }));
}

bool isWaveFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return file.size() > 1000 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

TEST(ProgramFolderStart, EmptyFolderGetsFiveFoldersAndTheCues)
{
    QTemporaryDir temp;
    const ProgramFolder folder{temp.path() + QStringLiteral("/new home/")};
    prepareProgramFolder(folder);
    for (const char* name : {"Data", "Backup", "Cfg", "Record", "Media"})
        EXPECT_TRUE(QFileInfo(folder.path + name).isDir()) << name;
    for (const char* cue : {"Tip.wav", "Error.wav", "Match.wav"}) {
        const QString path = folder.cfgFolder() + cue;
        EXPECT_TRUE(isWaveFile(path)) << cue;
        EXPECT_TRUE(QFileInfo(path).isWritable()) << cue; // the learner may replace it
    }
    // The three cues differ from each other.
    QFile tip(folder.cfgFolder() + "Tip.wav"), match(folder.cfgFolder() + "Match.wav");
    ASSERT_TRUE(tip.open(QIODevice::ReadOnly) && match.open(QIODevice::ReadOnly));
    EXPECT_NE(tip.readAll(), match.readAll());
}

TEST(ProgramFolderStart, ExistingCfgIsLeftAsTheLearnerKeptIt)
{
    QTemporaryDir temp;
    const ProgramFolder folder{temp.path() + QStringLiteral("/")};
    ASSERT_TRUE(QDir(temp.path()).mkdir(QStringLiteral("Cfg")));
    prepareProgramFolder(folder);
    // A cue removed by the learner stays removed.
    EXPECT_FALSE(QFile::exists(folder.cfgFolder() + "Tip.wav"));
    EXPECT_TRUE(QFileInfo(folder.path + "Media").isDir());
}

TEST(ProgramFolderStart, FileNamedDataIsLeftAndTheRestIsMade)
{
    QTemporaryDir temp;
    const ProgramFolder folder{temp.path() + QStringLiteral("/")};
    QFile data(folder.path + "Data");
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.write("learner's file");
    data.close();

    prepareProgramFolder(folder);
    EXPECT_TRUE(QFileInfo(folder.path + "Data").isFile());
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    EXPECT_EQ(data.readAll(), QByteArray("learner's file"));
    for (const char* name : {"Backup", "Cfg", "Record", "Media"})
        EXPECT_TRUE(QFileInfo(folder.path + name).isDir()) << name;
    // A Unit file cannot be made under it.
    QFile unit(folder.dataFolder() + "lesson.dat");
    EXPECT_FALSE(unit.open(QIODevice::WriteOnly));
}

} // namespace
} // namespace dictora
