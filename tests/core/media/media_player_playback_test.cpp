// SPDX-License-Identifier: GPL-3.0-or-later
// What the learner hears of a sentence: padding, slow replay, repeats, loops
// and levelling, as commands to the device; the rules keep counting the
// sentence's own span.
#include "core/media/media_player.h"

#include "core/media/fake_media.h"
#include "core/study/sentence_table.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        audioPath = dir.filePath(QStringLiteral("lesson.mp3"));
        QFile(audioPath).open(QIODevice::WriteOnly);
        commands.replies["Status MYSHOW Length"] = "10000";
        commands.replies["Status MYSHOW Mode"] = "playing";
        commands.replies["Status MYSHOW Position"] = "0";
        player.setPause([](int) {});
        player.setClock([this] { return nowMs; });
        SentenceRow title = makeTitleRow("Lesson");
        title[MediaPath] = audioPath;
        title[MediaLengthMs] = "10000";
        table.appendRow(title);
        for (const auto& [start, end] : {std::pair{1000, 2000}, {2000, 3500}, {3600, 9990}}) {
            SentenceRow row = title;
            row[Kind] = "1";
            row[StartMs] = QString::number(start);
            row[EndMs] = QString::number(end);
            row[Text] = "Hello there";
            table.appendRow(row);
        }
    }

    void select(int row)
    {
        state.currentRow = row;
        player.playRow(advancing);
    }

    QTemporaryDir dir;
    QString audioPath;
    StudyState state;
    SentenceTable table;
    FakeCommands commands;
    FakeSpeech speech;
    MediaPlayer player{state, table, {}, commands, speech, nullptr};
    bool advancing = false;
    qint64 nowMs = 0;
};

TEST_F(PlaybackTest, PaddingChangesOnlyWhatIsHeard)
{
    player.setPlaybackSettings({300, 400, 1, 1000, 750, false});
    select(2);
    // Contiguous neighbours: the padding reaches into them by the padding.
    EXPECT_EQ(commands.matching("Play MYSHOW"), QStringList{"Play MYSHOW From 1700 To 3900"});
    EXPECT_EQ(state.playFromMs, 2000);
    EXPECT_EQ(state.playToMs, 3500);
    EXPECT_EQ(table.field(2, StartMs), "2000");
    EXPECT_EQ(table.field(2, EndMs), "3500");
    // The first sentence's lead-in reaches before it; the last one's tail
    // stops at the media's last millisecond.
    commands.log.clear();
    select(1);
    select(3);
    EXPECT_EQ(commands.matching("Play MYSHOW"),
              (QStringList{"Play MYSHOW From 700 To 2400", "Play MYSHOW From 3300 To 9999"}));

    // Unlocking counts the unpadded span: 61.8 % of 3600..9990 is 7549.
    state.dictationMode = true;
    commands.replies["Status MYSHOW Position"] = "7549";
    EXPECT_FALSE(player.tick(0).unlockTyping);
    commands.replies["Status MYSHOW Position"] = "7550";
    EXPECT_TRUE(player.tick(0).unlockTyping);
}

TEST_F(PlaybackTest, SlowReplayAsksForTheSlowSpeedOnceAndTheNextPlayForTheNormalOne)
{
    player.setPlaybackSettings({0, 0, 1, 1000, 600, false});
    select(1);
    player.replayFree(true);
    player.replayFree(true);
    player.replayFree(false);
    select(2);
    EXPECT_EQ(commands.matching("Set MYSHOW Speed"),
              (QStringList{"Set MYSHOW Speed 600", "Set MYSHOW Speed 1000"}));
    EXPECT_EQ(commands.matching("Play MYSHOW").size(), 5);
    // A free replay does not touch the recorder, as an Enter's replay does.
    EXPECT_TRUE(commands.matching("Stop RECORD").isEmpty());
    player.replaySentence();
    EXPECT_EQ(commands.matching("Stop RECORD").size(), 1);
}

TEST_F(PlaybackTest, RepeatsTheSentenceAfterTheGapAndLoopsUntilStopped)
{
    player.setPlaybackSettings({0, 0, 3, 500, 750, false});
    select(1);
    commands.replies["Status MYSHOW Mode"] = "stopped";
    int plays = 1;
    for (nowMs = 0; nowMs <= 5000; nowMs += 100) {
        player.tick(0);
        plays = int(commands.matching("Play MYSHOW").size());
    }
    EXPECT_EQ(plays, 3);

    // Paused is not ended: no repeat while paused.
    commands.log.clear();
    player.loopSentence();
    commands.replies["Status MYSHOW Mode"] = "paused";
    for (nowMs = 10000; nowMs <= 12000; nowMs += 100)
        player.tick(0);
    EXPECT_EQ(commands.matching("Play MYSHOW").size(), 1);
    commands.replies["Status MYSHOW Mode"] = "stopped";
    for (; nowMs <= 14000; nowMs += 100)
        player.tick(0);
    EXPECT_EQ(commands.matching("Play MYSHOW").size(), 1 + 3); // every 600 ms
    player.stopRepeats();
    for (; nowMs <= 16000; nowMs += 100)
        player.tick(0);
    EXPECT_EQ(commands.matching("Play MYSHOW").size(), 4);

    // Muting ends the repeats.
    player.loopSentence();
    state.soundOn = false;
    for (; nowMs <= 18000; nowMs += 100)
        player.tick(0);
    EXPECT_FALSE(player.looping());
}

TEST_F(PlaybackTest, ASpokenSentenceRepeatsAfterTheGapAndLoopsToo)
{
    // A sentence without media is spoken by the voice: the repeat count and
    // the gap hold for it as for a media span.
    SentenceRow spoken = table.row(1);
    spoken[MediaPath].clear();
    spoken[MediaName].clear();
    table.appendRow(spoken);
    const int row = table.rowCount() - 1;
    player.setPlaybackSettings({0, 0, 3, 500, 750, false});
    speech.setSpeechText(table.field(row, Text));
    select(row);
    EXPECT_EQ(speech.requests, 1);
    EXPECT_TRUE(commands.matching("Play MYSHOW").isEmpty());
    // While the voice speaks no repeat comes, however long it takes.
    for (nowMs = 0; nowMs <= 3000; nowMs += 100)
        player.tick(0);
    EXPECT_EQ(speech.requests, 1);
    // Once it is done, the gap, then the next play; twice.
    for (; nowMs <= 10000; nowMs += 100) {
        speech.pending = false;
        player.tick(0);
    }
    EXPECT_EQ(speech.requests, 3);

    speech.requests = 0;
    player.loopSentence();
    for (nowMs = 20000; nowMs <= 22000; nowMs += 100) {
        speech.pending = false;
        player.tick(0);
    }
    EXPECT_EQ(speech.requests, 1 + 3); // every 600 ms
    EXPECT_TRUE(player.looping());
    player.stopRepeats();
    speech.pending = false;
    for (; nowMs <= 24000; nowMs += 100)
        player.tick(0);
    EXPECT_EQ(speech.requests, 4);
}

TEST_F(PlaybackTest, LevelsByTheMeasuredLoudnessOnceItIsKnown)
{
    std::optional<Loudness> measured;
    player.setLoudnessLookup([&](const QString& path) {
        EXPECT_EQ(path, audioPath);
        return measured;
    });
    select(1);
    EXPECT_TRUE(commands.matching("SetAudio").isEmpty());
    measured = Loudness{-26.0, -10.0}; // +6 dB
    player.replaySentence();
    player.replaySentence();
    EXPECT_EQ(commands.matching("SetAudio"), QStringList{"SetAudio MYSHOW Volume To 1995"});
    // Levelling off: back to the file's own loudness.
    player.setPlaybackSettings({0, 0, 1, 1000, 750, false});
    player.replaySentence();
    EXPECT_EQ(commands.matching("SetAudio").value(1), "SetAudio MYSHOW Volume To 1000");
}

} // namespace
