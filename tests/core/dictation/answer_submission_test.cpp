// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dictation/answer_submission.h"

#include "core/study/sentence_table.h"

#include <gtest/gtest.h>

using namespace dictora;

namespace {

const QString kSentence = QStringLiteral("The quick brown fox jumps over the lazy dog");

struct Press {
    const char* answer;
    int answerIndex;
    int repeatCount;
    int hintLevel;
    bool showHint;
    bool reveal;
};

// Each Enter of one row, in order: where the mismatch is, and how far the
// hints have gone after it.
void pressInTurn(HintState& hints, std::initializer_list<Press> presses)
{
    int n = 0;
    for (const Press& p : presses) {
        ++n;
        const SubmitOutcome out = judgeAnswer(kSentence, QString::fromLatin1(p.answer), hints);
        SCOPED_TRACE(testing::Message() << "Enter " << n << ": " << p.answer);
        EXPECT_EQ(out.verdict, Verdict::Wrong);
        EXPECT_EQ(out.mismatch.answerIndex, p.answerIndex);
        EXPECT_EQ(hints.repeatCount, p.repeatCount);
        EXPECT_EQ(hints.hintLevel, p.hintLevel);
        EXPECT_EQ(out.showHint, p.showHint);
        EXPECT_EQ(out.reveal, p.reveal);
    }
}

TEST(HintEscalation, ThirdNearbyEnterHintsAndFourEscalationsReveal)
{
    HintState hints;
    pressInTurn(hints, {
                           {"The quack", 6, 0, 0, false, false},   // only marked
                           {"The quick", 9, 1, 0, false, false},   // nearby: a repeat
                           {"The quicj", 8, 2, 1, true, false},    // third: hint level 1
                           {"The quick b", 11, 3, 1, true, false}, // hint again, no escalation
                           {"The quick brown fix", 17, 0, 1, false, false}, // moved away
                           {"The quick brown fox", 19, 1, 1, false, false},
                           {"The quick brown fox j", 21, 2, 2, true, false},
                           {"The quick brown fox jumps ovr", 28, 0, 2, false, false},
                           {"The quick brown fox jumps ovr", 28, 1, 2, false, false},
                           {"The quick brown fox jumps ovr", 28, 2, 3, true, false},
                           {"The quick brown fox jumps over the lazi", 38, 0, 3, false, false},
                           {"The quick brown fox jumps over the lazi", 38, 1, 3, false, false},
                           {"The quick brown fox jumps over the lazi", 38, 2, 4, true, true},
                       });
    // The sentence was revealed: a right answer now only earns "answer again"
    // and starts the row's help afresh.
    const SubmitOutcome again = judgeAnswer(kSentence, kSentence, hints);
    EXPECT_EQ(again.verdict, Verdict::AnswerAgain);
    EXPECT_EQ(hints.hintLevel, 0);
    EXPECT_EQ(hints.repeatCount, 0);
    EXPECT_EQ(hints.lastMismatchPos, HintState::kNoMismatch);
}

TEST(HintEscalation, PrefixAnswerIsMarkedOnlyInsideWhatWasTyped)
{
    HintState hints;
    const SubmitOutcome prefix = judgeAnswer(QStringLiteral("hello"), QStringLiteral("hel"), hints);
    EXPECT_EQ(prefix.mismatch.answerIndex, 3);
    EXPECT_FALSE(prefix.showMarker);
    const SubmitOutcome wrong =
        judgeAnswer(QStringLiteral("hello"), QStringLiteral("hallo"), hints);
    EXPECT_TRUE(wrong.showMarker);
    judgeAnswer(QStringLiteral("hello"), QStringLiteral("hel"), hints);
    EXPECT_EQ(hints.hintLevel, 1); // the third Enter near index 3
}

TEST(HintEscalation, RightAnswerBeforeTheRevealCounts)
{
    HintState hints{3, 4, 10};
    EXPECT_EQ(judgeAnswer(kSentence, kSentence.toUpper(), hints).verdict, Verdict::Right);
    EXPECT_EQ(hints.hintLevel, 0);
}

TEST(HintText, SixteenCharactersFromEightBeforeTheWrongPlace)
{
    EXPECT_EQ(hintText(kSentence, 20), QStringLiteral("own fox jumps ov"));
    EXPECT_EQ(hintText(kSentence, 3), QStringLiteral("The quick brown "));
    EXPECT_EQ(hintText(QStringLiteral("  short "), 0), QStringLiteral("short"));
}

SentenceRow row(const char* kind, const char* done, const char* level)
{
    SentenceRow r = makeSentenceRow();
    r[Kind] = QString::fromLatin1(kind);
    r[Done] = QString::fromLatin1(done);
    r[Level] = QString::fromLatin1(level);
    r[Text] = QStringLiteral("text");
    return r;
}

TEST(NextDictation, FirstLaterSentenceStillToStudy)
{
    SentenceTable table;
    table.appendRow(row("1", "0", "0")); // 0: to study, before the current row
    table.appendRow(row("1", "0", "0")); // 1: current
    table.appendRow(row("1", "1", "2")); // 2: resting
    table.appendRow(row("0", "0", "0")); // 3: title row
    table.appendRow(row("1", "0", "5")); // 4: due, level 5
    table.appendRow(row("1", "0", "0")); // 5
    const NextDictation next = nextDictationRow(table, 1, 1);
    EXPECT_EQ(next.row, 4);
    EXPECT_TRUE(next.soundOn);
    // Above level 4 in a "正常" Unit: answered from memory.
    EXPECT_FALSE(nextDictationRow(table, 1, 2).soundOn);
    EXPECT_TRUE(nextDictationRow(table, 4, 2).soundOn);
    EXPECT_EQ(nextDictationRow(table, 4, 2).row, 5);
    EXPECT_TRUE(nextDictationRow(table, 5, 2).endsDictation());
}

TEST(TypingProgress, PercentAndBarWidth)
{
    EXPECT_EQ(typingPercent({3, 10}), 30);
    EXPECT_EQ(typingPercent({2, 3}), 66); // truncated toward zero
    EXPECT_EQ(typingPercent({10, 10}), 100);
    EXPECT_EQ(typingPercent({13, 10}), 103);
    EXPECT_EQ(typingPercent({0, 0}), 100);
    // A form 1040 wide has a bar of at most 1000.
    EXPECT_EQ(progressBarWidth(50, 1040), 500);
    EXPECT_EQ(progressBarWidth(100, 1040), 1000);
    EXPECT_EQ(progressBarWidth(103, 1040), 300); // three letters too many: 30 %, red
    EXPECT_EQ(progressBarWidth(110, 1040), 1000);
    EXPECT_EQ(progressBarWidth(125, 1040), 1000);
}

} // namespace
