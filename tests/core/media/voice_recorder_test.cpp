// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/voice_recorder.h"

#include "core/media/fake_media.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

// A recorder device that reports a mode and a length, and writes a file on Save.
class RecorderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(folder.recordFolder());
        commands.handler = [this](const QString& command, QString& reply) {
            if (command == "Status RECORD Mode") {
                reply = mode;
            } else if (command == "Status RECORD Length") {
                reply = QString::number(lengthMs);
            } else if (command.startsWith("Save RECORD \"") && command.endsWith('"')) {
                QFile file(command.mid(13).chopped(1));
                reply = file.open(QIODevice::WriteOnly) ? "" : "error: cannot write";
            } else {
                return false;
            }
            return true;
        };
    }

    QStringList recordFiles() const
    {
        return QDir(folder.recordFolder()).entryList(QDir::Files, QDir::Name);
    }

    QTemporaryDir dir;
    ProgramFolder folder{dir.path() + u'/'};
    FakeCommands commands;
    QString mode = "error: no device";
    int lengthMs = 0;
    int cues = 0;
    VoiceRecorder recorder{commands, folder, [this] { ++cues; }};
    const QDateTime now{QDate(2026, 12, 7), QTime(9, 5, 3)};
};

TEST_F(RecorderTest, StartingClosesTheOldDeviceAndRecords)
{
    EXPECT_EQ(recorder.startRecording(), RecordRecording);
    EXPECT_EQ(cues, 1);
    EXPECT_EQ(commands.log, (QStringList{"Close RECORD", "Open New Type WAVEaudio Alias RECORD",
                                         "Record RECORD"}));
    EXPECT_TRUE(recorder.hasRecording());
    EXPECT_FALSE(recorder.recordSaved());
}

TEST_F(RecorderTest, WithoutAMicrophoneTheButtonStaysIdleAndSaysWhy)
{
    commands.replies["Record RECORD"] = "error: no microphone found";
    EXPECT_EQ(recorder.startRecording(), RecordIdle);
    EXPECT_EQ(recorder.recordError(), "error: no microphone found");
    EXPECT_FALSE(recorder.hasRecording());
    EXPECT_EQ(commands.log.last(), "Close RECORD ");

    commands.replies["Record RECORD"] = "";
    EXPECT_EQ(recorder.startRecording(), RecordRecording);
    EXPECT_TRUE(recorder.recordError().isEmpty());
}

TEST_F(RecorderTest, ARecordingOfThreeSecondsIsDiscarded)
{
    recorder.startRecording();
    mode = "recording";
    EXPECT_EQ(recorder.tick(now).status, RecordRecording);
    recorder.stopRecording();
    mode = "stopped";
    lengthMs = 3000;
    const RecordTick tick = recorder.tick(now);
    EXPECT_TRUE(tick.discarded);
    EXPECT_EQ(tick.buttonState, RecordIdle);
    EXPECT_EQ(commands.log.last(), "Close RECORD ");
    EXPECT_TRUE(recordFiles().isEmpty());
    EXPECT_FALSE(recorder.hasRecording());

    mode = "error: no device";
    EXPECT_EQ(recorder.tick(now).buttonState, -1);
}

TEST_F(RecorderTest, ARecordingOfFiveSecondsIsSavedOnceByTime)
{
    recorder.startRecording();
    mode = "recording";
    recorder.tick(now);
    mode = "stopped";
    lengthMs = 5000;
    const RecordTick first = recorder.tick(now);
    EXPECT_EQ(first.buttonState, RecordStopped);
    EXPECT_EQ(first.savedPath, folder.path + "Record/20261207_090503.wav");
    EXPECT_EQ(recordFiles(), QStringList{"20261207_090503.wav"});

    // Hearing it back and stopping again does not save a second copy.
    mode = "playing";
    recorder.tick(now.addSecs(10));
    mode = "stopped";
    const RecordTick again = recorder.tick(now.addSecs(20));
    EXPECT_EQ(again.buttonState, RecordStopped);
    EXPECT_TRUE(again.savedPath.isEmpty());
    EXPECT_EQ(recordFiles().size(), 1);
}

TEST_F(RecorderTest, ExactlyFourSecondsIsStillTooShort)
{
    recorder.startRecording();
    mode = "recording";
    recorder.tick(now);
    mode = "stopped";
    lengthMs = 4000;
    EXPECT_TRUE(recorder.tick(now).discarded);
}

TEST_F(RecorderTest, AnEarlierRecordingOfTheSameSecondIsKept)
{
    for (int take = 0; take < 2; ++take) {
        recorder.startRecording();
        mode = "recording";
        recorder.tick(now);
        mode = "stopped";
        lengthMs = 6000;
        recorder.tick(now);
    }
    EXPECT_EQ(recordFiles(), (QStringList{"20261207_090503.wav", "20261207_090503_2.wav"}));
}

TEST_F(RecorderTest, AFailedSaveIsReportedNotClaimed)
{
    QDir(folder.recordFolder()).removeRecursively();
    recorder.startRecording();
    mode = "recording";
    recorder.tick(now);
    mode = "stopped";
    lengthMs = 6000;
    const RecordTick tick = recorder.tick(now);
    EXPECT_TRUE(tick.savedPath.isEmpty());
    EXPECT_EQ(tick.saveError, "error: cannot write");
}

} // namespace
