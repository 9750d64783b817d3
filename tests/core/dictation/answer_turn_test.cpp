// SPDX-License-Identifier: GPL-3.0-or-later
// What the dictation form shows and does for the row it works on: the boxes
// after a load, the unlock, the typing count and what an Enter leads to.
#include "core/dictation/answer_turn.h"

#include "core/study/dictation_results.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"

#include <gtest/gtest.h>

using namespace dictora;

namespace {

TEST(AnswerTurn, WhatTheBoxesShowAfterALoadByRowAndMode)
{
    SentenceTable table;
    table.appendRow(makeTitleRow(QStringLiteral("Greetings")));
    for (const char* text : {"Good morning.", "Well done!", "See you.", ""}) {
        SentenceRow row = makeSentenceRow();
        row[Text] = QString::fromLatin1(text);
        table.appendRow(row);
    }
    table.setField(1, Text2, QStringLiteral("早上好"));
    struct Case {
        const char* name;
        int row;
        bool dictation, edit;
        const char* prompt; // nullptr: the prompt line keeps its text
        const char* answer;
        bool readOnly, startsTyping;
    };
    const Case cases[] = {
        {"second line", 1, false, false, "早上好", "Good morning.", true, false},
        {"previous sentence", 2, false, false, "Good morning.", "Well done!", true, false},
        {"Edit mode writes", 3, false, true, "Well done!", "See you.", false, false},
        {"Dictation starts typing", 2, true, false, "Good morning.", "Well", true, true},
        {"title row in Dictation", 0, true, false, nullptr, "", true, false},
        {"empty sentence in Dictation", 4, true, false, "See you.", "", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StudyState state;
        state.currentRow = c.row;
        state.dictationMode = c.dictation;
        state.editMode = c.edit;
        state.now = QDateTime::fromSecsSinceEpoch(5000);
        AnswerTurn turn;
        const RowShown shown = turn.load(table, state, QStringLiteral("Unit"));
        EXPECT_FALSE(shown.cleared);
        EXPECT_EQ(shown.prompt.has_value(), c.prompt != nullptr);
        if (c.prompt) {
            EXPECT_EQ(*shown.prompt, QString::fromUtf8(c.prompt));
        }
        EXPECT_EQ(shown.answer, QString::fromLatin1(c.answer));
        EXPECT_EQ(shown.startsTyping, c.startsTyping);
        if (!c.startsTyping) {
            EXPECT_EQ(shown.readOnly, c.readOnly);
        } else {
            EXPECT_EQ(turn.typingStart(), 5000);
        }
        EXPECT_EQ(shown.speechText, table.field(c.row, Text));
    }

    // The row after a title names the Unit and the Section.
    table.insertRow(2, makeTitleRow(QStringLiteral("Part two")));
    StudyState state;
    state.currentRow = 3;
    AnswerTurn turn;
    EXPECT_EQ(turn.load(table, state, QStringLiteral("Unit")).prompt,
              QStringLiteral("Unit // Part two"));
    // No row: both boxes go empty and nothing of the row is kept.
    state.currentRow = kNone;
    EXPECT_TRUE(turn.load(table, state, QStringLiteral("Unit")).cleared);
    EXPECT_EQ(turn.letterGap(), -1000);
}

TEST(AnswerTurn, UnlockOpensOnceAndAnEmptySentenceAtOnce)
{
    SentenceTable table;
    table.appendRow(makeTitleRow(QStringLiteral("Greetings")));
    SentenceRow row = makeSentenceRow();
    row[Text] = QStringLiteral("Hello.");
    table.appendRow(row);
    row[Text].clear();
    table.appendRow(row);
    struct Case {
        const char* name;
        int row;
        bool soundOn;
        int flag;
        int unlocked;                 // afterwards
        std::optional<bool> readOnly; // what the box becomes
    };
    const Case cases[] = {
        {"load, still to hear", 1, true, 0, 0, true},
        {"heard enough", 1, true, 1, 1, false},
        {"from memory: typing opens with the recording", 1, false, 0, 0, false},
        {"empty sentence", 2, true, 0, 1, false},
        {"title row", 0, true, 0, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StudyState state;
        state.dictationMode = true;
        state.soundOn = c.soundOn;
        state.currentRow = c.row;
        AnswerTurn turn;
        const UnlockStep step = turn.unlock(c.flag, table, state);
        EXPECT_TRUE(step.changed);
        EXPECT_TRUE(step.takeKeyboard);
        EXPECT_EQ(turn.typingUnlocked(), c.unlocked);
        EXPECT_EQ(step.readOnly, c.readOnly);
        EXPECT_EQ(turn.look(state), c.unlocked ? AnswerLook::Typing : AnswerLook::Locked);
        // Once open, typing stays open until the next row.
        if (c.unlocked == 1) {
            EXPECT_FALSE(turn.unlock(0, table, state).changed);
        }
    }

    StudyState state;
    AnswerTurn turn;
    EXPECT_EQ(turn.look(state), AnswerLook::Browse);
    state.editMode = true;
    EXPECT_EQ(turn.look(state), AnswerLook::Edit);
    EXPECT_FALSE(turn.unlock(0, table, state).takeKeyboard);
}

TEST(AnswerTurn, TypingCountsLettersSoundsTheMatchAndPlaysTheRecordingOnce)
{
    SentenceTable table;
    SentenceRow row = makeSentenceRow();
    row[Text] = QStringLiteral("Good morning.");
    table.appendRow(row);
    StudyState state;
    state.currentRow = 0;
    state.dictationMode = true;
    AnswerTurn turn;
    struct Case {
        const char* answer;
        bool hasRecording;
        int gap;
        bool cue, playRecording;
    };
    const Case cases[] = {
        {"Good", true, 7, false, false},
        {"Good mor", false, 4, false, false},  // over 60 %, but nothing recorded
        {"Good morn", true, 3, false, true},   // over 60 % with a recording
        {"Good morni", true, 2, false, false}, // once per row
        {"good MORNING!", true, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const TypingStep step =
            turn.typed(QString::fromLatin1(c.answer), table, state, c.hasRecording);
        EXPECT_TRUE(step.counting);
        EXPECT_EQ(turn.letterGap(), c.gap);
        EXPECT_EQ(step.matchCue, c.cue);
        EXPECT_EQ(step.playRecording, c.playRecording);
    }
    state.dictationMode = false;
    const TypingStep outside = turn.typed(QStringLiteral("x"), table, state, true);
    EXPECT_FALSE(outside.counting);
    EXPECT_EQ(outside.percent, 0);
}

TEST(AnswerTurn, EnterLeadsToRestAnswerAgainOrAnotherHearing)
{
    const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog");
    AnswerTurn turn;
    // Wrong: the sentence sounds again, nothing is booked.
    AnswerStep step = turn.submit(sentence, QStringLiteral("The quack"));
    EXPECT_EQ(step.outcome.verdict, Verdict::Wrong);
    EXPECT_TRUE(step.soundBackOn && step.replay);
    EXPECT_EQ(step.bookedLevel, -1);
    // Right at once: booked as known; no replay.
    step = turn.submit(sentence, sentence);
    EXPECT_EQ(step.outcome.verdict, Verdict::Right);
    EXPECT_FALSE(step.soundBackOn || step.replay || step.askAgain);
    EXPECT_EQ(step.bookedLevel, 0);

    // Until the hints give the sentence away; then a right answer asks again.
    for (const char* answer :
         {"The quack", "The quick", "The quicj", "The quick b", "The quick brown fix",
          "The quick brown fox", "The quick brown fox j", "The quick brown fox jumps ovr",
          "The quick brown fox jumps ovr", "The quick brown fox jumps ovr",
          "The quick brown fox jumps over the lazi", "The quick brown fox jumps over the lazi"})
        turn.submit(sentence, QString::fromLatin1(answer));
    EXPECT_EQ(turn.answerShown(), 0);
    step = turn.submit(sentence, QStringLiteral("The quick brown fox jumps over the lazi"));
    EXPECT_TRUE(step.outcome.reveal);
    EXPECT_EQ(turn.answerShown(), 1);
    step = turn.submit(sentence, sentence);
    EXPECT_EQ(step.outcome.verdict, Verdict::AnswerAgain);
    EXPECT_TRUE(step.askAgain && step.soundBackOn && step.replay);
    EXPECT_GT(step.bookedLevel, kMaxCountedHintLevel);
    EXPECT_EQ(turn.hintLevel(), 0);
}

} // namespace
