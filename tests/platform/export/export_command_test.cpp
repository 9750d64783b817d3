// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/playback_settings.h"
#include "core/study/program_folder.h"
#include "core/study/unit_file.h"
#include "platform/media/clip_cutter.h"
#include "platform/media/loudness_meter.h"

#include "core/study/cli_run.h"
#include "core/study/study_fixtures.h"
#include "support/media_making.h"
#include "support/media_runtime.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

class ExportCommand : public ::testing::Test {
protected:
    QTemporaryDir home;
    ProgramFolder folder{home.path() + "/"};
    QString out;

    void SetUp() override
    {
        ensureMediaRuntime();
        ASSERT_TRUE(home.isValid());
        createDataFolders(folder);
        out = home.filePath("cards");
        ASSERT_TRUE(QDir().mkpath(out));
        const QString wav = home.filePath("talk two.wav");
        ASSERT_TRUE(writeWave(testSignal(30, 44100), wav)); // 3000 ms
        SentenceRow talk = title("Talk");
        talk[MediaPath] = wav;
        talk[MediaName] = "talk two.wav";
        auto span = [](const QString& text, const char* start, const char* end) {
            SentenceRow row = sentence(text);
            row[StartMs] = start;
            row[EndMs] = end;
            return row;
        };
        const std::vector<SentenceRow> rows{talk,
                                            span("One two three.", "123", "1457"),
                                            span("Four five.", "1457", "0"), // to the end
                                            title("Words"),
                                            sentence("你好")}; // no media: spoken
        ASSERT_TRUE(writeAll(folder.dataFolder() + "Lesson.dat", encodeUnit(kNewUnitHeader, rows, false)));
    }
    static qint64 clipFrames(const QString& path)
    {
        int rate = 0;
        const qint64 frames = oggVorbisFrames(path, &rate);
        return rate == 44100 ? frames : -rate;
    }
};

TEST_F(ExportCommand, WritesTheTsvAndOneExactClipASentence)
{
    const CliRun run = runCli({"export", "Lesson", out}, home.path());
    ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
    EXPECT_EQ(run.json["cards"].toInt(), 3);
    EXPECT_EQ(run.json["spoken"].toInt(), 1);
    const QStringList lines = QString::fromUtf8(readAll(out + "/Lesson.tsv")).split('\n');
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[3], "One two three.\t\t[sound:Lesson-0001.ogg]\tLesson Talk");
    EXPECT_EQ(lines[5], "你好\t\t[sound:Lesson-0003.ogg]\tLesson Words");
    EXPECT_EQ(clipFrames(out + "/Lesson-0001.ogg"), 1457 * 441 / 10 - 123 * 441 / 10);
    EXPECT_EQ(clipFrames(out + "/Lesson-0002.ogg"), 3000 * 441 / 10 - 1457 * 441 / 10);
    int rate = 0;
    EXPECT_GT(oggVorbisFrames(out + "/Lesson-0003.ogg", &rate), 0);
    EXPECT_GT(rate, 0);
    // Nothing but the export in the folder: no temporary file left behind.
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

TEST_F(ExportCommand, ReplacesFilesOnlyWithForce)
{
    ASSERT_TRUE(writeAll(out + "/Lesson-0002.ogg", "mine"));
    const CliRun refused = runCli({"export", "Lesson", out}, home.path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.error.contains("Lesson-0002.ogg exists already")) << refused.error.toStdString();
    EXPECT_EQ(readAll(out + "/Lesson-0002.ogg"), "mine");
    EXPECT_FALSE(QFileInfo::exists(out + "/Lesson.tsv"));
    const CliRun forced = runCli({"export", "Lesson", out, "--force"}, home.path());
    ASSERT_EQ(forced.exitCode, 0) << forced.error.toStdString();
    EXPECT_GT(clipFrames(out + "/Lesson-0002.ogg"), 0);
}

TEST_F(ExportCommand, ANameCannotLeadOutOfTheFolder)
{
    const CliRun run = runCli({"export", "Lesson", out}, home.path());
    ASSERT_EQ(run.exitCode, 0);
    const CliRun missing = runCli({"export", "../Lesson", out}, home.path());
    EXPECT_EQ(missing.exitCode, 2) << "not a Unit name";
    EXPECT_EQ(runCli({"export", "Lesson", home.filePath("nowhere")}, home.path()).exitCode, 1);
}

TEST_F(ExportCommand, ClipsAreLevelledOnlyWhileTheLearnerLevelsLoudness)
{
    const auto measure = [](const QString& file) {
        QString error;
        const std::optional<Loudness> loudness = measureLoudness(file, &error);
        EXPECT_TRUE(loudness) << error.toStdString();
        return loudness;
    };
    // The gain is the whole file's, as the player applies it to every span.
    const double fileGainDb = levellingGainDb(measure(home.filePath("talk two.wav")));
    ASSERT_GT(std::abs(fileGainDb), 1.0) << "the test signal must need levelling";
    ASSERT_EQ(runCli({"export", "Lesson", out}, home.path()).exitCode, 0); // levelling is on
    PlaybackSettings plain;
    plain.levelLoudness = false;
    ASSERT_TRUE(savePlaybackSettings(folder, plain));
    const QString plainOut = home.filePath("plain");
    ASSERT_TRUE(QDir().mkpath(plainOut));
    ASSERT_EQ(runCli({"export", "Lesson", plainOut}, home.path()).exitCode, 0);

    const double levelled = measure(out + "/Lesson-0001.ogg").value_or(Loudness{}).integratedLufs;
    const double asDecoded = measure(plainOut + "/Lesson-0001.ogg").value_or(Loudness{}).integratedLufs;
    EXPECT_NEAR(levelled - asDecoded, fileGainDb, 0.5);
}

} // namespace
