// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/media_window_input.h"

#include "core/study/sentence_table.h"
#include "core/study/study_state.h"

#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(MediaWindowKeys, KeyDownSwallowsEnterAndEscapeAndSpaceTogglesPlayback)
{
    struct Case {
        int key;
        MediaKeyAction action;
    };
    for (const Case& c : {Case{Qt::Key_Return, MediaKeyAction::Swallow},
                          Case{Qt::Key_Enter, MediaKeyAction::Swallow},
                          Case{Qt::Key_Escape, MediaKeyAction::Swallow},
                          Case{Qt::Key_Space, MediaKeyAction::TogglePlayback},
                          Case{Qt::Key_Left, MediaKeyAction::Pass},
                          Case{Qt::Key_A, MediaKeyAction::Pass}})
        EXPECT_EQ(mediaKeyDown(c.key).action, c.action) << c.key;

    // The listening keys come first, as in every window's key map; any other
    // key ends a loop and does what it always does.
    const MediaKeyDown replay = mediaKeyDown(KeyPress(Qt::Key_R, true), {false, true});
    EXPECT_EQ(replay.action, MediaKeyAction::Listen);
    EXPECT_EQ(replay.listening.play, ListeningKey::Replay);
    const MediaKeyDown slowHeld =
        mediaKeyDown(KeyPress(Qt::Key_R, true, true, false, true), {false, true});
    EXPECT_EQ(slowHeld.action, MediaKeyAction::Listen);
    EXPECT_EQ(slowHeld.listening.play, ListeningKey::None);
    const MediaKeyDown space = mediaKeyDown(Qt::Key_Space, {true, true});
    EXPECT_EQ(space.action, MediaKeyAction::TogglePlayback);
    EXPECT_TRUE(space.listening.stopLoop);
}

TEST(MediaWindowKeys, KeyUpMovesOutsideDictationRestoresOnEscapeAndSwallowsTheRest)
{
    struct Case {
        int key;
        bool enlarged;
        bool dictation;
        bool hasRow;
        MediaKeyAction action;
    };
    const Case cases[] = {
        {Qt::Key_Left, false, false, true, MediaKeyAction::SelectPrevious},
        {Qt::Key_Up, false, false, true, MediaKeyAction::SelectPrevious},
        {Qt::Key_Right, false, false, true, MediaKeyAction::SelectNext},
        {Qt::Key_Down, false, false, true, MediaKeyAction::SelectNext},
        {Qt::Key_Right, false, true, true, MediaKeyAction::Swallow},  // Dictation mode
        {Qt::Key_Right, false, false, false, MediaKeyAction::Swallow}, // no current row
        {Qt::Key_Escape, true, false, true, MediaKeyAction::Restore},
        {Qt::Key_Escape, true, true, false, MediaKeyAction::Restore}, // always a way out
        {Qt::Key_Escape, false, false, true, MediaKeyAction::Swallow},
        {Qt::Key_A, false, false, true, MediaKeyAction::Swallow},
        {Qt::Key_Space, false, false, true, MediaKeyAction::Swallow},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mediaKeyUp(c.key, c.enlarged, c.dictation, c.hasRow), c.action)
            << c.key << ' ' << c.enlarged << c.dictation << c.hasRow;
}

TEST(MediaWindowKeys, SpacePausesWhilePlayingResumesWhenPausedElseReplays)
{
    EXPECT_EQ(mediaPlaybackToggle("playing", false), PlaybackToggle::Pause);
    EXPECT_EQ(mediaPlaybackToggle("playing", true), PlaybackToggle::Pause);
    EXPECT_EQ(mediaPlaybackToggle("paused", true), PlaybackToggle::Resume);
    EXPECT_EQ(mediaPlaybackToggle("stopped", true), PlaybackToggle::Resume);
    EXPECT_EQ(mediaPlaybackToggle("stopped", false), PlaybackToggle::Replay);
    EXPECT_EQ(mediaPlaybackToggle("", false), PlaybackToggle::Replay);
}

TEST(MediaWindowKeys, ArrowsReachOnlyNeighbouringSentenceRows)
{
    SentenceTable table;
    table.appendRow(makeTitleRow("A"));
    table.appendRow(makeSentenceRow());
    table.appendRow(makeSentenceRow());
    table.appendRow(makeTitleRow("B"));
    table.appendRow(makeSentenceRow());
    EXPECT_EQ(neighbourSentenceRow(table, 2, -1), 1);
    EXPECT_EQ(neighbourSentenceRow(table, 1, +1), 2);
    EXPECT_EQ(neighbourSentenceRow(table, 1, -1), kNone); // a title row
    EXPECT_EQ(neighbourSentenceRow(table, 2, +1), kNone); // a title row
    EXPECT_EQ(neighbourSentenceRow(table, 4, +1), kNone); // past the end
    EXPECT_EQ(neighbourSentenceRow(table, kNone, +1), kNone);
}

TEST(MediaWindowPlace, CentredFiveHundredByThreeHundred)
{
    EXPECT_EQ(centredMediaRect({1920, 1080}), QRect(710, 390, 500, 300));
    EXPECT_EQ(centredMediaRect({1024, 768}), QRect(262, 234, 500, 300));
}

TEST(MediaWindowPlace, RightAndBottomStripsGrabTheSizingCorner)
{
    const QSize window(500, 300);
    EXPECT_TRUE(inSizingCorner({495, 10}, window));
    EXPECT_TRUE(inSizingCorner({10, 295}, window));
    EXPECT_TRUE(inSizingCorner({499, 299}, window));
    EXPECT_FALSE(inSizingCorner({494, 294}, window));
    EXPECT_EQ(videoArea(window), QRect(0, 0, 495, 295));
}

TEST(MediaWindowPlace, ADragStartsBeyondFourPixels)
{
    EXPECT_FALSE(isWindowDrag({100, 100}, {104, 96}));
    EXPECT_TRUE(isWindowDrag({100, 100}, {105, 100}));
    EXPECT_TRUE(isWindowDrag({100, 100}, {100, 95}));
}

} // namespace
} // namespace dictora
