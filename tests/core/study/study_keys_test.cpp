// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/study_keys.h"

#include "core/study/dictation_results.h"

#include <qnamespace.h>

#include <gtest/gtest.h>

namespace dictora {
namespace {

using M = StudyMode;

TEST(SentenceListKeys, TimeKeysNeedEditModeASentenceAChosenPointAndMedia)
{
    const ListKeyContext ready{M::Edit, true, 1, true};
    const struct {
        int key;
        int deltaMs;
        bool wholeSpan;
    } shifts[] = {{Qt::Key_A, -50, false},
                  {Qt::Key_F, 50, false},
                  {Qt::Key_E, -500, true},
                  {Qt::Key_D, 500, true}};
    for (const auto& s : shifts) {
        const ListKeyDown down = sentenceListKeyDown(s.key, ready);
        ASSERT_EQ(down.action, ListKeyDown::ShiftTime) << s.key;
        EXPECT_EQ(down.shift->deltaMs, s.deltaMs);
        EXPECT_EQ(down.shift->wholeSpan, s.wholeSpan);
    }
    const struct {
        ListKeyContext context;
        const char* why;
    } refused[] = {
        {{M::Browse, true, 1, true}, "Browse mode"},
        {{M::Dictation, true, 1, true}, "Dictation mode"},
        {{M::Edit, false, 1, true}, "a title row or no row"},
        {{M::Edit, true, -1000, true}, "no time point chosen yet"},
        {{M::Edit, true, -1, true}, "the last click missed the time columns"},
        {{M::Edit, true, 2, false}, "a sentence without media"},
    };
    for (const auto& r : refused)
        EXPECT_EQ(sentenceListKeyDown(Qt::Key_E, r.context).action, ListKeyDown::Swallow) << r.why;
}

TEST(SentenceListKeys, ArrowsChooseTheTimePointOnlyInEditModeAndOtherKeysAreSwallowed)
{
    const ListKeyContext edit{M::Edit, true, -1000, false};
    EXPECT_EQ(sentenceListKeyDown(Qt::Key_Left, edit).point, 1);
    EXPECT_EQ(sentenceListKeyDown(Qt::Key_Right, edit).point, 2);
    EXPECT_EQ(sentenceListKeyDown(Qt::Key_Left, {M::Browse, true, 1, true}).action,
              ListKeyDown::Swallow);
    for (const int key : {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Down})
        EXPECT_EQ(sentenceListKeyDown(key, edit).action, ListKeyDown::Navigate);
    for (const int key : {Qt::Key_B, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space})
        EXPECT_EQ(sentenceListKeyDown(key, edit).action, ListKeyDown::Swallow);
}

TEST(SentenceListKeys, MenuItemsAndKeysShareOneShiftTable)
{
    for (int item = 6; item <= 9; ++item) {
        const TimeShiftCommand* shift = timeShiftOfMenuItem(item);
        ASSERT_NE(shift, nullptr);
        const ListKeyDown down = sentenceListKeyDown(shift->key, {M::Edit, true, 2, true});
        EXPECT_EQ(down.shift, shift) << item;
    }
    EXPECT_EQ(timeShiftOfMenuItem(5), nullptr);
}

TEST(SpaceKey, PausesOrResumesLineByLineAndReplaysInBrowseMode)
{
    const PlaybackNow playing{true, false, false};
    const PlaybackNow paused{false, true, false};
    const PlaybackNow ended{};
    const struct {
        M mode;
        bool sentenceRow;
        PlaybackNow now;
        SpaceAction action;
    } cases[] = {
        {M::LineByLine, true, playing, SpaceAction::Pause},
        {M::LineByLine, true, paused, SpaceAction::Resume},
        {M::LineByLine, true, ended, SpaceAction::None},
        {M::Browse, true, playing, SpaceAction::Replay},
        {M::Browse, false, ended, SpaceAction::None},
        {M::Dictation, true, ended, SpaceAction::None},
        {M::Edit, true, paused, SpaceAction::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(spaceAction(c.mode, c.sentenceRow, c.now), c.action) << int(c.mode);
}

TEST(DictationFormKeys, EscEnterAndSpaceByModeAndPlace)
{
    using A = FormKeyDecision;
    const struct {
        int key;
        FormKeyContext context;
        A::Action action;
        SpaceAction space;
    } cases[] = {
        {Qt::Key_Escape, {M::Dictation, true, true, true, {}}, A::DeleteMismatch, SpaceAction::None},
        {Qt::Key_Escape, {M::Dictation, false, true, true, {}}, A::Swallow, SpaceAction::None},
        {Qt::Key_Return, {M::Dictation, true, true, true, {}}, A::SubmitAnswer, SpaceAction::None},
        {Qt::Key_Enter, {M::Dictation, true, true, false, {}}, A::Pass, SpaceAction::None},
        {Qt::Key_Return, {M::Edit, true, true, false, {}}, A::SubmitEdit, SpaceAction::None},
        {Qt::Key_Return, {M::Browse, true, false, false, {}}, A::Swallow, SpaceAction::None},
        {Qt::Key_Return, {M::Browse, true, true, true, {}}, A::Pass, SpaceAction::None},
        {Qt::Key_Return, {M::Dictation, false, true, true, {}}, A::Pass, SpaceAction::None},
        {Qt::Key_Space, {M::Browse, true, true, true, {}}, A::Pass, SpaceAction::Replay},
        {Qt::Key_Space, {M::Dictation, true, true, true, {}}, A::Pass, SpaceAction::None},
        {Qt::Key_Space, {M::LineByLine, true, true, true, {true, false, false}}, A::Pass,
         SpaceAction::Pause},
        {Qt::Key_X, {M::Dictation, true, true, true, {}}, A::Pass, SpaceAction::None},
    };
    for (const auto& c : cases) {
        const FormKeyDecision d = dictationFormKey(c.key, c.context);
        EXPECT_EQ(d.action, c.action) << c.key << " in mode " << int(c.context.mode);
        EXPECT_EQ(d.space, c.space) << c.key;
    }
}

TEST(ListeningKeys, EveryWindowsKeyMapYieldsTheListeningStepAheadOfItsOwnKeys)
{
    using L = ListeningKey;
    const KeyPress ctrlR(Qt::Key_R, true);
    const KeyPress ctrlShiftR(Qt::Key_R, true, true);
    const KeyPress ctrlL(Qt::Key_L, true);
    const struct {
        const char* name;
        KeyPress press;
        ListeningContext context;
        ListeningStep step; // play, stopLoop, swallow
    } cases[] = {
        {"Ctrl+R", ctrlR, {false, true}, {L::Replay, false, true}},
        {"Ctrl+Shift+R", ctrlShiftR, {false, true}, {L::SlowReplay, false, true}},
        {"Ctrl+L", ctrlL, {false, true}, {L::Loop, false, true}},
        {"Ctrl+R again while looping", ctrlR, {true, true}, {L::Replay, false, true}},
        // Eaten, but a title row has nothing to replay.
        {"Ctrl+R on a title row", ctrlR, {false, false}, {L::None, false, true}},
        {"Ctrl+R held", KeyPress(Qt::Key_R, true, false, false, true), {false, true},
         {L::None, false, true}},
        {"Ctrl+Alt+R", KeyPress(Qt::Key_R, true, false, true), {true, true},
         {L::None, true, false}},
        {"an r typed while looping", Qt::Key_R, {true, true}, {L::None, true, false}},
        {"Enter while looping", Qt::Key_Return, {true, true}, {L::None, true, false}},
        {"Ctrl alone while looping", KeyPress(Qt::Key_Control, true), {true, true},
         {L::None, false, false}},
        {"an r with no loop", Qt::Key_R, {false, true}, {L::None, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(listeningKeyStep(c.press, c.context), c.step);

        // The dictation form in Dictation mode, the caret in the answer box:
        // a listening key is never an Enter (a try) nor typing.
        FormKeyContext form{M::Dictation, true, true, c.context.sentenceRow, {}};
        form.looping = c.context.looping;
        const FormKeyDecision d = dictationFormKey(c.press, form);
        EXPECT_EQ(d.listening, c.step);
        EXPECT_EQ(d.action == FormKeyDecision::Listen, c.step.swallow);
        // Only typing reaches the recording gate: neither a listening key
        // nor the Ctrl pressed on the way to one starts a recording.
        EXPECT_EQ(d.typing, !c.step.swallow && c.press.key != Qt::Key_Control);

        // The sentence list in Edit mode with a chosen time point.
        ListKeyContext list{M::Edit, c.context.sentenceRow, 1, true};
        list.looping = c.context.looping;
        const ListKeyDown down = sentenceListKeyDown(c.press, list);
        EXPECT_EQ(down.listening, c.step);
        EXPECT_EQ(down.action == ListKeyDown::Listen, c.step.swallow);
    }
    // The Enter that is a try stays one.
    EXPECT_EQ(dictationFormKey(Qt::Key_Return, {M::Dictation, true, true, true, {}}).action,
              FormKeyDecision::SubmitAnswer);
    // The menu items play only on a sentence row.
    EXPECT_EQ(listeningPlay(L::Loop, true), L::Loop);
    EXPECT_EQ(listeningPlay(L::Loop, false), L::None);
}

TEST(DictationFormKeys, RecordingGateRecordsFirstWhenAnsweringFromMemory)
{
    // dictation, soundOn, unlocked, recorder, hasRecording, recording, enter
    const struct {
        RecordingGateContext context;
        bool start, stop, swallow;
    } cases[] = {
        {{true, false, false, true, false, false, false}, true, false, true},
        {{true, false, false, true, false, false, true}, true, false, true},
        {{true, false, false, true, true, true, false}, false, true, false},
        {{true, false, false, true, true, true, true}, false, true, true},
        {{true, false, false, true, true, false, true}, false, false, true},
        {{true, true, false, true, false, false, true}, false, false, false},
        {{true, false, true, true, false, false, true}, false, false, false},
        {{false, false, false, true, false, false, true}, false, false, false},
        {{true, false, false, false, false, false, true}, false, false, false},
    };
    for (const auto& c : cases) {
        const RecordingGateStep step = recordingGate(c.context);
        EXPECT_EQ(step.startRecording, c.start);
        EXPECT_EQ(step.stopRecording, c.stop);
        EXPECT_EQ(step.swallow, c.swallow);
    }
}

TEST(TypingTime, CountsOnThroughShortPausesAndRestartsAfterALongOne)
{
    EXPECT_EQ(typingStartAfterPause(1000, 1100), 1000);
    EXPECT_EQ(typingStartAfterPause(1000, 1101), 1101);
    EXPECT_EQ(acceptedHintLevel(false), 0);
    EXPECT_GT(acceptedHintLevel(true), kMaxCountedHintLevel)
        << "an answer the hints gave away must not count as known";
}

} // namespace
} // namespace dictora
