// SPDX-License-Identifier: GPL-3.0-or-later
// The media player and recorder driving the real command layer and speech
// worker: GStreamer plays into DICTORA_AUDIO_SINK and records from
// DICTORA_AUDIO_SOURCE in real time.
#include "core/media/media_player.h"
#include "core/media/voice_recorder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "platform/media/gst_media_commands.h"
#include "platform/speech/speech_worker.h"
#include "support/media_making.h"
#include "support/media_runtime.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstdio>

namespace dictora {
namespace {

// A 4000 ms 48 kHz stereo tone, in a folder whose name has a blank.
QString makeTone(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("tone four.wav"));
    return test::writeWave(test::testSignal(40, 48000), path, 30) ? path : QString();
}

class PlayerThroughDevices : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ensureMediaRuntime();
        tone = makeTone(dir);
        ASSERT_FALSE(tone.isEmpty());
    }

    void addSection(int declaredMs, std::vector<std::pair<int, int>> spans)
    {
        SentenceRow title = makeTitleRow(QStringLiteral("Tone"));
        title[MediaPath] = tone;
        title[MediaLengthMs] = QString::number(declaredMs);
        table.appendRow(title);
        for (const auto& [start, end] : spans) {
            SentenceRow row = title;
            row[Kind] = QStringLiteral("1");
            row[StartMs] = QString::number(start);
            row[EndMs] = QString::number(end);
            row[Text] = QStringLiteral("A short sentence.");
            table.appendRow(row);
        }
    }

    void select(int row)
    {
        state.currentRow = row;
        speech.setSpeechText(table.field(row, Text));
        player.playRow(advancing);
    }

    int devicePosition() { return commands.send(QStringLiteral("Status MYSHOW Position")).toInt(); }

    QStringList plays() const
    {
        return commands.commandLog().filter(QStringLiteral("Play MYSHOW"));
    }

    QTemporaryDir dir;
    QString tone;
    StudyState state;
    SentenceTable table;
    GstMediaCommands commands;
    SpeechWorker speech;
    MediaPlayer player{state, table, ProgramFolder{dir.path() + u'/'}, commands, speech};
    bool advancing = false;
};

TEST_F(PlayerThroughDevices, ASpanStatedAgainstTwiceTheLengthPlaysAtHalfItsTimes)
{
    addSection(8000, {{1000, 3000}});
    select(1);
    EXPECT_EQ(state.openMediaLengthMs, 4000);
    EXPECT_EQ(plays(), QStringList{QStringLiteral("Play MYSHOW From 500 To 1500")});
    EXPECT_EQ(player.mediaMode(), QStringLiteral("playing"));
    const int startedAt = player.playPosition();
    EXPECT_GE(startedAt, 500);
    EXPECT_LT(startedAt, 1000);
    // The device stops by itself on the To point.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return player.mediaMode() == QStringLiteral("stopped"); }, 5000));
}

TEST_F(PlayerThroughDevices, A299MsSpanIsSpokenAnd300MsIsPlayed)
{
    addSection(4000, {{1000, 1299}, {2000, 2300}});
    select(1);
    EXPECT_TRUE(plays().isEmpty());
    EXPECT_TRUE(speech.speechPending());
    EXPECT_TRUE(player.speaking());
    EXPECT_TRUE(
        GstMediaCommands::isErrorReply(commands.send(QStringLiteral("Status MYSHOW Mode"))));

    select(2);
    EXPECT_EQ(plays(), QStringList{QStringLiteral("Play MYSHOW From 2000 To 2300")});
    EXPECT_TRUE(player.spanPlaying());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return player.mediaMode() == QStringLiteral("stopped"); }, 5000));
}

TEST_F(PlayerThroughDevices, LineByLineRunsOnIntoTheNextRowWithoutRestarting)
{
    state.lineByLineMode = true;
    addSection(4000, {{0, 800}, {800, 1600}, {1600, 2400}});
    select(1);
    ASSERT_EQ(plays().size(), 1);
    for (int row = 2; row <= 3; ++row) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return player.tick(0).nextLine; }, 5000));
        const int turnedAt = devicePosition();
        // Never before the sentence has been heard to its end.
        EXPECT_GE(turnedAt, state.spanEndMs);
        std::printf("line-by-line turn at %d ms for a sentence ending at %d ms\n", turnedAt,
                    state.spanEndMs);
        advancing = true;
        select(row);
        EXPECT_EQ(plays().size(), 1);
        EXPECT_EQ(player.mediaMode(), QStringLiteral("playing"));
    }
    EXPECT_EQ(state.spanEndMs, 2400);
    EXPECT_EQ(commands.commandLog().filter(QStringLiteral("Open")).size(), 1);
}

TEST_F(PlayerThroughDevices, TypingUnlocksAfterTheGoldenShareOfTheSpanWasHeard)
{
    state.dictationMode = true;
    addSection(4000, {{1000, 3000}});
    select(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.tick(0).unlockTyping; }, 5000));
    const int unlockedAt = devicePosition();
    EXPECT_GT(unlockedAt, 1000 + 1236);
    std::printf("typing unlocked at %d ms of a 1000..3000 span (rule: after 2236)\n", unlockedAt);
}

TEST_F(PlayerThroughDevices, ASpokenSentenceUnlocksTypingOnceSaid)
{
    state.dictationMode = true;
    addSection(0, {{0, 0}});
    table.setField(1, MediaPath, QString());
    table.setField(1, Text, QStringLiteral("Good morning."));
    select(1);
    EXPECT_EQ(state.playToMs, 13);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.tick(0).unlockTyping; }, 5000));
    EXPECT_GT(double(player.playPosition()) / 13, 0.618);
}

class RecorderThroughDevices : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ensureMediaRuntime();
        QDir().mkpath(folder.recordFolder());
        recorder.setWaveFormat();
    }

    // Records until the device holds ms of sound, then stops and lets the
    // watch decide.
    RecordTick recordFor(int ms)
    {
        recorder.startRecording();
        recorder.tick(now);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return commands.send(QStringLiteral("Status RECORD Length")).toInt() >= ms; },
            ms + 5000));
        recorder.stopRecording();
        return recorder.tick(now);
    }

    QStringList recordings() const { return QDir(folder.recordFolder()).entryList(QDir::Files); }

    QTemporaryDir dir;
    ProgramFolder folder{dir.path() + QStringLiteral("/home dir/")};
    GstMediaCommands commands;
    VoiceRecorder recorder{commands, folder};
    QDateTime now{QDate(2026, 12, 7), QTime(20, 15, 1)};
};

TEST_F(RecorderThroughDevices, ThreeSecondsLeaveNoFileAndFiveLeaveOneWaveFile)
{
    const RecordTick shortTake = recordFor(3000);
    EXPECT_TRUE(shortTake.discarded);
    EXPECT_EQ(shortTake.buttonState, RecordIdle);
    EXPECT_TRUE(recordings().isEmpty());

    const RecordTick longTake = recordFor(5000);
    EXPECT_FALSE(longTake.discarded);
    EXPECT_EQ(longTake.buttonState, RecordStopped);
    EXPECT_EQ(recordings(), QStringList{QStringLiteral("20261207_201501.wav")});
    QFile file(longTake.savedPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 44);
    EXPECT_EQ(bytes.left(4), QByteArray("RIFF"));
    EXPECT_EQ(bytes.mid(8, 4), QByteArray("WAVE"));
    const quint32 dataBytes = qFromLittleEndian<quint32>(bytes.constData() + 40);
    EXPECT_GE(dataBytes, 5u * 48000 * 4);

    // Played back and stopped again, it is not saved twice.
    recorder.playRecording();
    recorder.tick(now.addSecs(30));
    recorder.stopRecording();
    recorder.tick(now.addSecs(31));
    EXPECT_EQ(recordings().size(), 1);
}

} // namespace
} // namespace dictora
