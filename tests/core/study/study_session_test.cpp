// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/study_session.h"

#include "study_fixtures.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace dictora {
namespace {

using test::sentence;
using test::title;

const char* modeName(StudyMode mode)
{
    switch (mode) {
    case StudyMode::Browse:
        return "B";
    case StudyMode::Edit:
        return "E";
    case StudyMode::Dictation:
        return "D";
    case StudyMode::LineByLine:
        return "L";
    }
    return "?";
}

enum class Command { Edit, Dictation, LineByLine, NextLineAtEnd, LastAnswer };

const char* commandName(Command command)
{
    switch (command) {
    case Command::Edit:
        return "编 辑";
    case Command::Dictation:
        return "【听 写】";
    case Command::LineByLine:
        return "逐行播放";
    case Command::NextLineAtEnd:
        return "NextLine at the end";
    case Command::LastAnswer:
        return "last right answer";
    }
    return "?";
}

struct SessionFixture : ::testing::Test {
    StudyState state;
    SentenceTable table;
    StudySession session{state, table};

    // A Section with two sentences; the second is still to study when due.
    void fill(bool somethingDue)
    {
        table.appendRow(title("Part one"));
        table.appendRow(sentence("One.", "1", "1"));
        table.appendRow(sentence("Two.", somethingDue ? "0" : "1"));
        table.appendRow(sentence("Three.", "1", "2"));
    }

    void enter(StudyMode mode)
    {
        state.editMode = mode == StudyMode::Edit;
        state.dictationMode = mode == StudyMode::Dictation;
        state.lineByLineMode = mode == StudyMode::LineByLine;
    }

    // Runs a command as the windows would, and returns whether the frame may
    // stay in the topmost layer afterwards.
    bool run(Command command)
    {
        switch (command) {
        case Command::Edit:
            return session.switchEdit().frameOnTop;
        case Command::Dictation:
            return session.switchDictation(!state.dictationMode).frameOnTop;
        case Command::LineByLine:
            return session.switchLineByLine().frameOnTop;
        case Command::NextLineAtEnd:
            state.currentRow = table.rowCount() - 1;
            return session.next().frameOnTop;
        case Command::LastAnswer:
            return session.dictationAnswered(kNone, true).frameOnTop;
        }
        return true;
    }
};

TEST_F(SessionFixture, EveryModeTransitionFromEveryMode)
{
    using M = StudyMode;
    using C = Command;
    const struct {
        M from;
        C command;
        bool somethingDue;
        M to;
    } cases[] = {
        {M::Browse, C::Edit, true, M::Edit},
        {M::Dictation, C::Edit, true, M::Edit},
        {M::LineByLine, C::Edit, true, M::Edit},
        {M::Edit, C::Edit, true, M::Browse},
        {M::Browse, C::Dictation, true, M::Dictation},
        {M::Edit, C::Dictation, true, M::Dictation},
        {M::LineByLine, C::Dictation, true, M::Dictation},
        {M::Browse, C::Dictation, false, M::Browse},
        {M::Edit, C::Dictation, false, M::Browse},
        {M::LineByLine, C::Dictation, false, M::Browse},
        {M::Dictation, C::Dictation, true, M::Browse},
        {M::Browse, C::LineByLine, true, M::LineByLine},
        {M::Dictation, C::LineByLine, true, M::LineByLine},
        {M::Edit, C::LineByLine, true, M::LineByLine},
        {M::LineByLine, C::LineByLine, true, M::Browse},
        {M::LineByLine, C::NextLineAtEnd, true, M::Browse},
        {M::Dictation, C::LastAnswer, true, M::Browse},
    };
    for (const auto& c : cases) {
        table.clear();
        fill(c.somethingDue);
        state = StudyState{};
        enter(c.from);
        state.soundOn = c.from != M::Dictation; // answering from memory
        const bool frameOnTop = run(c.command);
        const std::string what = std::string(modeName(c.from)) + " + " +
                                 commandName(c.command) + (c.somethingDue ? "" : " (none due)");
        EXPECT_EQ(modeName(session.mode()), std::string(modeName(c.to))) << what;
        EXPECT_LE(int(state.editMode) + int(state.dictationMode) + int(state.lineByLineMode), 1)
            << what;
        // The screensaver lifts the frame into the topmost layer for
        // Dictation; every way out of Dictation takes it down again.
        EXPECT_EQ(frameOnTop, c.to == M::Dictation) << what;
        // Brought forward afterwards (the screensaver's guard), the frame
        // goes into the topmost layer in Dictation mode alone.
        EXPECT_EQ(session.bringForward().frameOnTop, c.to == M::Dictation) << what;
        if (c.from == M::Dictation && c.to != M::Dictation) {
            EXPECT_TRUE(state.soundOn) << what << ": leaving Dictation gives the sound back";
        }
    }
}

TEST_F(SessionFixture, ModeCommandsSayWhatTheWindowsDo)
{
    fill(true);
    enter(StudyMode::LineByLine);
    ModeDecision d = session.switchDictation(true);
    EXPECT_TRUE(d.stopMedia) << "Line-by-line play stops when Dictation starts";
    EXPECT_EQ(d.selectRow, 2) << "the first row still to study";
    EXPECT_TRUE(d.loadRow);
    EXPECT_TRUE(d.tip.isEmpty());

    // Selected already, the row to dictate is played by the decision.
    for (const int selected : {kNone, 1, 2, 3}) {
        enter(StudyMode::Browse);
        state.currentRow = selected;
        EXPECT_EQ(session.switchDictation(true).playLoadedRow, selected == 2) << selected;
    }

    d = session.switchDictation(false);
    EXPECT_FALSE(d.stopMedia);
    EXPECT_TRUE(d.resetTypingProgress);
    EXPECT_EQ(d.selectRow, kNone);

    d = session.switchLineByLine();
    EXPECT_TRUE(d.clearSpanFlags);
    EXPECT_TRUE(d.playRow);
    EXPECT_EQ(state.playToMs, kNone);

    table.clear();
    fill(false);
    enter(StudyMode::Browse);
    d = session.switchDictation(true);
    EXPECT_EQ(d.tip, QStringLiteral("请增加内容或选择其他单元"));
    EXPECT_EQ(d.selectRow, kNone);

    // Edit mode on a Unit with hardly any rows says how to fill it; not in
    // the Notebook, and not when leaving.
    table.clear();
    table.appendRow(title("Empty"));
    d = session.switchEdit();
    EXPECT_EQ(d.tip, QStringLiteral("可以拖动文件添加内容"));
    d = session.switchEdit();
    EXPECT_TRUE(d.tip.isEmpty());
    state.isNotebook = true;
    EXPECT_TRUE(session.switchEdit().tip.isEmpty());
}

TEST_F(SessionFixture, FirstDueRowSkipsTitlesAndRestingRowsAndTakesEmptySentences)
{
    table.appendRow(title("Part one"));
    table.appendRow(sentence("Rests.", "1"));
    SentenceRow odd = sentence("", "0");
    odd[Kind] = QStringLiteral("2"); // any kind but "0" is a sentence
    table.appendRow(odd);
    EXPECT_EQ(session.firstDueRow(), 2);
    table.setField(2, Done, QStringLiteral("1"));
    EXPECT_EQ(session.firstDueRow(), kNone);
}

// Muting from the menu and from the toolbar is one command: the span stays
// (a resumed playback still stops at the sentence's end), the recording
// stops only while it plays back, and sound on plays the row from its start.
TEST(StudySessionSound, MuteKeepsTheSpanAndUnmutePlaysTheRowAgain)
{
    StudyState state;
    SentenceTable table;
    StudySession session(state, table);
    const struct {
        PlaybackNow now;
        bool pause;
        bool stopRecording;
    } cases[] = {
        {{true, false, false}, true, false},
        {{false, true, false}, false, false},
        {{false, false, true}, false, true},
    };
    for (const auto& c : cases) {
        state.soundOn = true;
        state.playFromMs = 1000;
        state.playToMs = 2500;
        const SoundDecision mute = session.toggleSound(c.now);
        EXPECT_FALSE(state.soundOn);
        EXPECT_EQ(mute.pauseMedia, c.pause);
        EXPECT_EQ(mute.stopRecordingPlayback, c.stopRecording);
        EXPECT_TRUE(mute.clearSpeechPending);
        EXPECT_FALSE(mute.playRow);
        EXPECT_EQ(state.playFromMs, 1000);
        EXPECT_EQ(state.playToMs, 2500);

        const SoundDecision unmute = session.toggleSound(c.now);
        EXPECT_TRUE(state.soundOn);
        EXPECT_TRUE(unmute.playRow);
        EXPECT_FALSE(unmute.pauseMedia);
        EXPECT_EQ(state.playFromMs, kNone);
        EXPECT_EQ(state.playToMs, kNone);
    }
}

TEST_F(SessionFixture, SelectingARowByModeAndKind)
{
    fill(true);
    RowDecision d = session.selectRow(2, false);
    EXPECT_EQ(state.currentRow, 2);
    EXPECT_TRUE(d.loadRow && d.playRow);
    EXPECT_FALSE(d.pickTimePoint);

    d = session.selectRow(1, true);
    EXPECT_TRUE(d.holdForm) << "a playback being started keeps the form in place";
    EXPECT_FALSE(d.loadRow || d.playRow);

    enter(StudyMode::Edit);
    d = session.selectRow(1, false);
    EXPECT_TRUE(d.pickTimePoint);
    d = session.selectRow(0, false);
    EXPECT_EQ(d.tip, QStringLiteral("双击配置"));
    EXPECT_FALSE(d.loadRow || d.playRow);
    enter(StudyMode::Browse);
    EXPECT_TRUE(session.selectRow(0, false).tip.isEmpty());

    session.selectRow(99, false);
    EXPECT_EQ(state.currentRow, kNone);
}

TEST_F(SessionFixture, NextLineStepsOverTitlesAndEndsAtTheEnd)
{
    table.appendRow(title("A"));
    table.appendRow(sentence("One."));
    table.appendRow(title("B"));
    table.appendRow(sentence("Two."));
    enter(StudyMode::LineByLine);
    state.currentRow = 1;
    NextLineDecision d = session.next();
    EXPECT_EQ(d.selectRow, 3);
    EXPECT_TRUE(d.advancing);
    EXPECT_FALSE(d.stopMedia);
    EXPECT_TRUE(state.lineByLineMode);

    state.currentRow = 3;
    d = session.next();
    EXPECT_EQ(d.selectRow, kNone);
    EXPECT_TRUE(d.stopMedia && d.clearSpeechPending);
    EXPECT_FALSE(state.lineByLineMode);
}

TEST_F(SessionFixture, RightAnswerMovesOnWithTheNextRowsSound)
{
    fill(true);
    enter(StudyMode::Dictation);
    state.currentRow = 1;
    DictationStep d = session.dictationAnswered(2, false);
    EXPECT_EQ(d.selectRow, 2);
    EXPECT_TRUE(d.fadeIn);
    EXPECT_FALSE(state.soundOn) << "the next row is answered from memory";
    EXPECT_TRUE(state.dictationMode);
    d = session.dictationAnswered(kNone, false);
    EXPECT_TRUE(d.endsDictation);
    EXPECT_TRUE(state.soundOn);
}

TEST_F(SessionFixture, DeletingASectionForgetsTheRowAndItsMedia)
{
    fill(true);
    state.currentRow = 0;
    state.mediaFilePath = QStringLiteral("/m/a.mp3");
    state.openMediaLengthMs = 5000;
    EXPECT_TRUE(session.sectionDeleted().closeMedia);
    EXPECT_EQ(state.currentRow, kNone);
    EXPECT_TRUE(state.mediaFilePath.isEmpty());
    EXPECT_EQ(state.openMediaLengthMs, kNone);
    EXPECT_TRUE(state.unitModified);
}

TEST_F(SessionFixture, EnterInEditModeWritesTheTrimmedTextIntoTheCurrentRow)
{
    fill(true);
    state.currentRow = kNone;
    EXPECT_FALSE(session.editText(QStringLiteral("Part two")));
    EXPECT_FALSE(state.unitModified);
    state.currentRow = 2;
    EXPECT_TRUE(session.editText(QStringLiteral("  Part two \n")));
    EXPECT_EQ(table.field(2, Text), QStringLiteral("Part two"));
    EXPECT_TRUE(state.unitModified);
}

// An edit of any field reaches a view that draws the row from its first
// column (the sentence list hides the other eleven).
TEST(SentenceTableChanges, AFieldChangeCoversTheRowsFirstColumn)
{
    SentenceTable table;
    table.appendRow(sentence(""));
    std::vector<std::pair<QModelIndex, QModelIndex>> changed;
    QObject::connect(&table, &SentenceTable::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         changed.emplace_back(from, to);
                     });
    table.setField(0, Text, QStringLiteral("Part two"));
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].first.column(), 0);
    EXPECT_GE(changed[0].second.column(), int(Text));
}

TEST(SentenceTableRows, TypedFieldsAndKinds)
{
    SentenceTable table;
    SentenceRow row = sentence("One.", "0", "3");
    row[StartMs] = QStringLiteral("1500");
    row[EndMs] = QStringLiteral("4250");
    table.appendRow(row);
    table.appendRow(title("T"));
    EXPECT_EQ(table.startMs(0), 1500u);
    EXPECT_EQ(table.endMs(0), 4250u);
    EXPECT_EQ(table.level(0), 3);
    EXPECT_TRUE(table.isSentence(0));
    EXPECT_TRUE(table.isTitle(1));
    table.setField(0, Kind, QStringLiteral("7"));
    EXPECT_TRUE(table.isSentence(0)) << "any kind but \"0\" is a sentence";
}

} // namespace
} // namespace dictora
