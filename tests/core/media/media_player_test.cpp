// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/media_player.h"

#include "core/media/fake_media.h"
#include "core/study/sentence_table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

class MediaPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        audioPath = touch(QStringLiteral("talk one.mp3"));
        commands.replies["Status MYSHOW Length"] = "10000";
        commands.replies["Status MYSHOW Mode"] = "playing";
        commands.replies["Status MYSHOW Position"] = "0";
        player.setPause([this](int ms) { pausedMs += ms; });
    }

    QString touch(const QString& relative)
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path;
    }

    // A Section on mediaPath declaring declaredMs, then one sentence per span.
    void addSection(const QString& mediaPath, int declaredMs,
                    std::vector<std::pair<int, int>> spans)
    {
        SentenceRow title = makeTitleRow("Lesson");
        title[MediaPath] = mediaPath;
        title[MediaLengthMs] = QString::number(declaredMs);
        table.appendRow(title);
        for (const auto& [start, end] : spans) {
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
        speech.setSpeechText(table.field(row, Text)); // as LoadRow does
        player.playRow(advancing);
    }

    QTemporaryDir dir;
    ProgramFolder folder{dir.path() + u'/'};
    QString audioPath;
    StudyState state;
    SentenceTable table;
    FakeCommands commands;
    FakeSpeech speech;
    FakeSurface surface;
    MediaPlayer player{state, table, {}, commands, speech, &surface};
    bool advancing = false;
    int pausedMs = 0;
};

TEST_F(MediaPlayerTest, OpensTheQuotedFileAndPlaysTheSpanScaledToTheRealLength)
{
    addSection(audioPath, 20000, {{1000, 3000}});
    select(1);
    EXPECT_EQ(commands.matching("Open").value(0),
              "Open \"" + audioPath +
                  "\" Type MPEGVideo Alias MYSHOW Parent 77 Style 1073741824 Notify");
    EXPECT_EQ(commands.matching("Play MYSHOW"), QStringList{"Play MYSHOW From 500 To 1500"});
    EXPECT_EQ(state.openMediaLengthMs, 10000);
    EXPECT_EQ(player.declaredLengthMs(), 20000);
    EXPECT_EQ(state.spanEndMs, 1500);
    EXPECT_TRUE(player.spanPlaying());
    EXPECT_EQ(pausedMs, 0);
}

TEST_F(MediaPlayerTest, StopsAndClosesTheMediaForTheWindows)
{
    addSection(audioPath, 0, {{0, 1500}});
    state.mediaFilePath = audioPath;
    select(1);
    surface.showVideo();
    commands.log.clear();
    player.stopMedia();
    EXPECT_EQ(commands.log, QStringList{QStringLiteral("Stop MYSHOW ")});
    commands.log.clear();
    player.closeMediaFile();
    EXPECT_EQ(commands.log, QStringList{QStringLiteral("Close MYSHOW ")});
    EXPECT_LT(state.openMediaLengthMs, 0);
    EXPECT_FALSE(surface.isVideoShown());
}

TEST_F(MediaPlayerTest, ScalesHourLongMediaWithoutOverflow)
{
    commands.replies["Status MYSHOW Length"] = "3599000";
    addSection(audioPath, 3600000, {{3000000, 3500000}});
    select(1);
    EXPECT_EQ(commands.matching("Play MYSHOW"), QStringList{"Play MYSHOW From 2999166 To 3499027"});
}

TEST_F(MediaPlayerTest, SpeaksSpansUnder300MsWithTheDeviceClosed)
{
    addSection(audioPath, 10000, {{1000, 1299}, {2000, 2300}});
    select(1);
    EXPECT_TRUE(commands.matching("Play MYSHOW").isEmpty());
    EXPECT_EQ(speech.requests, 1);
    EXPECT_TRUE(player.speaking());
    EXPECT_TRUE(state.mediaFilePath.isEmpty());
    EXPECT_LT(state.openMediaLengthMs, 0);
    EXPECT_EQ(commands.log.last(), "Close MYSHOW ");
    EXPECT_EQ(state.playToMs, QString("Hello there").size());

    select(2);
    EXPECT_EQ(commands.matching("Play MYSHOW"), QStringList{"Play MYSHOW From 2000 To 2300"});
    EXPECT_EQ(speech.requests, 1);
    EXPECT_FALSE(speech.pending);
    EXPECT_EQ(speech.stops, 1); // the voice does not go on over the media
}

TEST_F(MediaPlayerTest, TimesBeyondTheSignedRangeAreNotPlayed)
{
    addSection(audioPath, 10000, {{0, 2000}});
    table.setField(1, StartMs, "3000000000"); // reads back negative, as a 32-bit store does
    table.setField(1, EndMs, "2000000000");
    select(1);
    EXPECT_TRUE(commands.matching("Play MYSHOW").isEmpty());
}

TEST_F(MediaPlayerTest, SpeaksWhenTheMediaIsMissingOrHasNoLength)
{
    addSection(dir.filePath("gone.mp3"), 10000, {{0, 2000}});
    select(1);
    EXPECT_TRUE(commands.matching("Open").isEmpty());
    EXPECT_EQ(speech.requests, 1);

    commands.replies["Status MYSHOW Length"] = "0";
    table.setField(1, MediaPath, audioPath);
    select(1);
    EXPECT_EQ(commands.matching("Open").size(), 1);
    EXPECT_EQ(speech.requests, 2);
    EXPECT_TRUE(commands.matching("Play MYSHOW").isEmpty());
}

TEST_F(MediaPlayerTest, LastSentenceOfASectionGetsTheDeclaredEnd)
{
    addSection(audioPath, 10000, {{0, 2000}, {8000, 0}});
    addSection(audioPath, 10000, {{0, 0}});
    select(2);
    EXPECT_EQ(table.field(2, EndMs), "9990");
    EXPECT_EQ(commands.matching("Play MYSHOW").last(), "Play MYSHOW From 8000 To 9990");
    select(4);
    EXPECT_EQ(table.field(4, EndMs), "9990");
}

TEST_F(MediaPlayerTest, LastSentenceOfANearlyEmptyMediaFileEndsAtZero)
{
    commands.replies["Status MYSHOW Length"] = "6";
    addSection(audioPath, 0, {{0, 0}});
    select(1);
    EXPECT_EQ(table.field(1, EndMs), "0");
    EXPECT_TRUE(commands.matching("Play MYSHOW").isEmpty());
}

TEST_F(MediaPlayerTest, LineByLineGoesOnIntoTheNextRowOfTheSameMedia)
{
    state.lineByLineMode = true;
    addSection(audioPath, 10000, {{0, 2000}, {2000, 4000}, {4000, 6000}});
    select(1);
    EXPECT_EQ(commands.matching("Play MYSHOW"), QStringList{"Play MYSHOW From 0 To 9990"});
    EXPECT_EQ(state.spanEndMs, 2000);

    advancing = true;
    select(2);
    EXPECT_FALSE(advancing);
    EXPECT_EQ(commands.matching("Play MYSHOW").size(), 1);
    EXPECT_EQ(commands.matching("Open").size(), 1);
    EXPECT_EQ(state.spanEndMs, 4000);

    // A click on another row restarts from there.
    select(1);
    EXPECT_EQ(commands.matching("Play MYSHOW").last(), "Play MYSHOW From 0 To 9990");
}

TEST_F(MediaPlayerTest, LineByLineRestartsWhenTheRowAfterStartsEarlier)
{
    state.lineByLineMode = true;
    addSection(audioPath, 10000, {{0, 2000}, {2000, 4000}, {1000, 1500}});
    select(1);
    advancing = true;
    select(2);
    EXPECT_EQ(commands.matching("Play MYSHOW"),
              (QStringList{"Play MYSHOW From 0 To 9990", "Play MYSHOW From 2000 To 9990"}));
}

TEST_F(MediaPlayerTest, TimerAdvancesLineByLineAtTheSpanEndByTheDevicePosition)
{
    state.lineByLineMode = true;
    addSection(audioPath, 10000, {{0, 2000}, {2000, 4000}});
    select(1);
    commands.replies["Status MYSHOW Position"] = "1999";
    EXPECT_FALSE(player.tick(0).nextLine);
    commands.replies["Status MYSHOW Position"] = "2000";
    EXPECT_TRUE(player.tick(0).nextLine);
    commands.replies["Status MYSHOW Position"] = "1500";
    commands.replies["Status MYSHOW Mode"] = "stopped";
    EXPECT_TRUE(player.tick(0).nextLine);

    state.soundOn = false;
    EXPECT_FALSE(player.tick(0).nextLine);
}

TEST_F(MediaPlayerTest, TimerAdvancesLineByLineOnceASpokenSentenceIsDone)
{
    state.lineByLineMode = true;
    addSection("", 0, {{0, 2000}});
    select(1);
    EXPECT_FALSE(player.tick(0).nextLine);
    speech.pending = false;
    EXPECT_TRUE(player.tick(0).nextLine);
}

TEST_F(MediaPlayerTest, TypingUnlocksOnceMoreThanTheGoldenShareWasHeard)
{
    state.dictationMode = true;
    addSection(audioPath, 10000, {{1000, 2000}});
    select(1);
    commands.replies["Status MYSHOW Position"] = "1618";
    EXPECT_FALSE(player.tick(0).unlockTyping);
    commands.replies["Status MYSHOW Position"] = "1619";
    EXPECT_TRUE(player.tick(0).unlockTyping);
    EXPECT_FALSE(player.spanPlaying());
    // Consumed: only a recording that plays back unlocks now.
    EXPECT_FALSE(player.tick(0).unlockTyping);
    EXPECT_FALSE(player.tick(1).unlockTyping);
    EXPECT_TRUE(player.tick(2).unlockTyping);
}

TEST_F(MediaPlayerTest, TypingUnlocksWhenTheSpanEndedBetweenTwoTicks)
{
    state.dictationMode = true;
    addSection(audioPath, 10000, {{1000, 2000}});
    select(1);
    commands.replies["Status MYSHOW Mode"] = "playing";
    commands.replies["Status MYSHOW Position"] = "1200";
    EXPECT_FALSE(player.tick(0).unlockTyping);
    // The next tick came only after the span was over.
    commands.replies["Status MYSHOW Mode"] = "stopped";
    EXPECT_TRUE(player.tick(0).unlockTyping);
}

TEST_F(MediaPlayerTest, TypingUnlocksWhenTheSpokenSentenceEndsOrByWordPosition)
{
    state.dictationMode = true;
    addSection("", 0, {{0, 0}});
    select(1);
    ASSERT_TRUE(player.speaking());
    speech.pos = 6; // "Hello " of 11 characters
    EXPECT_FALSE(player.tick(0).unlockTyping);
    speech.pos = 11;
    EXPECT_TRUE(player.tick(0).unlockTyping);

    select(1);
    speech.pending = false;
    EXPECT_TRUE(player.tick(0).unlockTyping);
}

TEST_F(MediaPlayerTest, VideoShowsForVideoFilesOnly)
{
    const QString film = touch("film.AVI");
    addSection(film, 10000, {{0, 2000}});
    select(1);
    EXPECT_TRUE(surface.shown);
    EXPECT_EQ(commands.matching("Put").value(0), "Put MYSHOW Window At 0 0 495 295");
    player.playSpan(true);
    EXPECT_FALSE(surface.shown);

    table.setField(1, MediaPath, audioPath);
    select(1);
    EXPECT_FALSE(surface.shown);
}

TEST_F(MediaPlayerTest, MutedPlaySpanSendsNothingToPlay)
{
    state.soundOn = false;
    addSection(audioPath, 10000, {{0, 2000}});
    select(1);
    EXPECT_TRUE(commands.matching("Play").isEmpty());
    player.replaySentence();
    EXPECT_TRUE(commands.matching("Stop RECORD").isEmpty());
    state.soundOn = true;
    player.replaySentence();
    EXPECT_EQ(commands.log.mid(commands.log.indexOf("Stop RECORD"), 2),
              (QStringList{"Stop RECORD", "Play MYSHOW From 0 To 2000"}));
}

TEST_F(MediaPlayerTest, WaitForPlayingIsBounded)
{
    commands.replies["Status MYSHOW Mode"] = "seeking";
    addSection(audioPath, 10000, {{0, 2000}});
    select(1);
    EXPECT_EQ(pausedMs, MediaPlayer::kPlayStartWaitMs);
    EXPECT_TRUE(player.spanPlaying());
}

TEST_F(MediaPlayerTest, ClampsTheSpanToTheRealLength)
{
    commands.replies["Status MYSHOW Length"] = "5000";
    addSection(audioPath, 5000, {{4000, 7000}});
    select(1);
    EXPECT_EQ(commands.matching("Play MYSHOW"), QStringList{"Play MYSHOW From 4000 To 4999"});
}

TEST_F(MediaPlayerTest, PauseAndResumeFollowTheDeviceMode)
{
    addSection(audioPath, 10000, {{0, 2000}});
    select(1);
    player.pauseMedia();
    EXPECT_TRUE(player.paused());
    EXPECT_EQ(commands.log.last(), "Pause MYSHOW ");
    commands.replies["Status MYSHOW Position"] = "1234";
    commands.replies["Status MYSHOW Mode"] = "paused";
    EXPECT_EQ(player.playPosition(), 1234);
    player.resumeMedia();
    EXPECT_FALSE(player.paused());
    EXPECT_EQ(commands.log.last(), "Resume MYSHOW ");
    commands.replies["Status MYSHOW Mode"] = "stopped";
    EXPECT_EQ(player.playPosition(), 0);
    commands.replies["Status MYSHOW Mode"] = "playing";
    commands.replies["Status MYSHOW Position"] = "error: device busy";
    EXPECT_EQ(player.playPosition(), 0); // falls back to where the span started
}

TEST_F(MediaPlayerTest, PositionIsNeverBeforeTheSpanWhileItPlays)
{
    addSection(audioPath, 10000, {{4000, 6000}});
    select(1);
    commands.replies["Status MYSHOW Position"] = "0"; // still seeking
    EXPECT_EQ(player.playPosition(), 4000);
    commands.replies["Status MYSHOW Position"] = "4321";
    EXPECT_EQ(player.playPosition(), 4321);
}

TEST_F(MediaPlayerTest, WithoutMediaTheVoiceGivesModeAndPosition)
{
    EXPECT_EQ(player.mediaMode(), "stopped");
    speech.state = 2;
    speech.pos = 5;
    EXPECT_EQ(player.mediaMode(), "playing");
    EXPECT_EQ(player.playPosition(), 5);
    player.pauseMedia();
    EXPECT_TRUE(player.paused());
    EXPECT_FALSE(player.speaking());
    speech.pending = true;
    player.resumeMedia();
    EXPECT_TRUE(player.speaking());
    EXPECT_FALSE(speech.pending);
    speech.state = 7;
    EXPECT_EQ(player.mediaMode(), "");
}

TEST_F(MediaPlayerTest, WithoutACurrentRowTheFirstSentenceIsChosen)
{
    addSection(audioPath, 10000, {{0, 2000}});
    state.currentRow = kNone;
    EXPECT_EQ(player.playRow(advancing), 1);
    EXPECT_TRUE(commands.log.isEmpty());
    table.clear();
    EXPECT_EQ(player.playRow(advancing), kNone);
}

} // namespace
