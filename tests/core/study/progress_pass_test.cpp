// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/completion_table.h"
#include "core/study/dictation_results.h"
#include "core/study/progress_pass.h"

#include "study_fixtures.h"

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

class ProgressPassTest : public ::testing::Test {
protected:
    ScopedTimeZone zone{"Asia/Shanghai"};
    const TimeValue now = at("20260615151500");
    const QString today = "20260615090000";
    const QString yesterday = "20260614090000";
    SentenceTable table;

    void fill(std::vector<SentenceRow> rows) { table.replaceAll(std::move(rows)); }
    ProgressFigures pass(UnitHeader header, StudyTotals totals = {}, bool notebook = false)
    {
        return runProgressPass(table, header, notebook, now, totals);
    }
};

} // namespace

TEST_F(ProgressPassTest, SentenceQuotaEndsAtTheLastNewSentenceOfTheDay)
{
    fill({title("T"), sentence("due", "0", "2", yesterday), sentence("new1"),
          sentence("rest", "1", "3", today), sentence("new2"), sentence("due below", "0", "2"),
          sentence("new3"), sentence("new4"), sentence("new5")});
    const ProgressFigures f = pass({2, 2.0f, 0});
    EXPECT_EQ(f.todayTotal, 4);
    EXPECT_EQ(f.todayDone, 1);
    EXPECT_EQ(f.todayNew, 2);
    EXPECT_EQ(f.quotaEndRow, 4);
    EXPECT_EQ(f.percent, 25);
    EXPECT_EQ(f.texts.unitPercentText, "25%");
    EXPECT_EQ(f.texts.progressLine, "已经完成: 1 行 / 共: 4 行");
    EXPECT_EQ(f.texts.estimateText, "估时 - 未知"); // nothing typed yet this run

    // A sentence that reached level 1 today used up a new place.
    fill({title("T"), sentence("first", "1", "1", today), sentence("new1"), sentence("new2")});
    const ProgressFigures g = pass({2, 2.0f, 0});
    EXPECT_EQ(g.todayTotal, 2);
    EXPECT_EQ(g.todayDone, 1);
    EXPECT_EQ(g.percent, 50);
}

TEST_F(ProgressPassTest, SectionQuotaCountsTheShareOfNewRowsPerSection)
{
    const std::vector<SentenceRow> rows{title("A"), sentence("a1"), sentence("a2"),
                                        title("B"), sentence("b1"), sentence("b2"),
                                        title("C"), sentence("c1")};
    fill(rows);
    EXPECT_EQ(pass({2, 1.0f, 1}).todayTotal, 2); // all of A
    fill(rows);
    EXPECT_EQ(pass({2, 1.5f, 1}).todayTotal, 3); // A and half of B
    fill(rows);
    const ProgressFigures all = pass({2, 5.0f, 1});
    EXPECT_EQ(all.todayTotal, 5);
    EXPECT_EQ(all.quotaEndRow, 7);
    // Counting sentences instead, 1.5 means two.
    fill(rows);
    EXPECT_EQ(pass({2, 1.5f, 0}).todayTotal, 2);
}

TEST_F(ProgressPassTest, CompleteUnitsAndFinishedDaysShowOneHundredPercent)
{
    for (const std::vector<SentenceRow>& rows :
         {std::vector<SentenceRow>{}, std::vector<SentenceRow>{title("A"), title("B")},
          std::vector<SentenceRow>{title("A"), sentence("x", "1", "4", yesterday)}}) {
        fill(rows);
        const ProgressFigures f = pass(kNewUnitHeader, {10, 20});
        EXPECT_EQ(f.percent, 100);
        EXPECT_EQ(f.texts.unitPercentText, "100%");
        EXPECT_EQ(f.texts.progressLine, "已经全部完成");
        EXPECT_EQ(f.texts.estimateText, "估时 - 00:00");
    }
    // Today's share done, a new sentence left beyond the quota.
    fill({sentence("x", "1", "1", today), sentence("later")});
    const ProgressFigures day = pass({2, 1.0f, 0}, {10, 20});
    EXPECT_EQ(day.percent, 100);
    EXPECT_EQ(day.texts.unitPercentText, "100%");
    EXPECT_EQ(day.texts.progressLine, "已经完成: 1 行 / 共: 1 行");
    EXPECT_EQ(day.texts.estimateText, "估时 - 00:00");
    // Nothing scheduled at all: shown as today's work done, not left over
    // from another Unit.
    fill({sentence("odd", "2", "0")});
    const ProgressFigures none = pass({2, 1.0f, 0});
    EXPECT_EQ(none.todayTotal, 0);
    EXPECT_EQ(none.texts.progressLine, "已经完成: 0 行 / 共: 0 行");
}

TEST_F(ProgressPassTest, EstimateScalesTheCharactersLeftBySecondsPerCharacter)
{
    fill({sentence(QString(3000, u'x')), sentence(QString(1000, u'y'), "1", "1", today)});
    // Two seconds a character, 3000 left: 6000 s.
    EXPECT_EQ(pass({2, 5.0f, 0}, {10, 20}).texts.estimateText, "估时 - 01:40:00");
    fill({sentence(QString(3000, u'x'))});
    EXPECT_EQ(pass({2, 5.0f, 0}, {1, 37}).texts.estimateText, "估时 - 06:50:00"); // 111000 s
    // 3000 * 2000000 overflows 32 bits; the span is 6e9 s, shown within a day.
    fill({sentence(QString(3000, u'x'))});
    EXPECT_EQ(pass({2, 5.0f, 0}, {1, 2000000}).texts.estimateText, "估时 - 10:40:00");
    EXPECT_EQ(clockSpanText(86399), "23:59:59");
    EXPECT_EQ(clockSpanText(-5), "00:00:00");
}

TEST_F(ProgressPassTest, SentenceRowsCopyTheirSectionAndBorrowTheNextStart)
{
    SentenceRow head = title("第一课");
    head[MediaPath] = "..";
    head[MediaName] = "a.mp3";
    head[MediaLengthMs] = "90000";
    SentenceRow early = sentence("before any title");
    early[SectionTitle] = "stale";
    SentenceRow a = sentence("a");
    a[StartMs] = "1000";
    SentenceRow b = sentence("b");
    b[StartMs] = "2500";
    b[EndMs] = "2400";
    SentenceRow c = sentence("c");
    c[StartMs] = "3000";
    fill({early, head, a, b, c, title("二")});
    pass(kNewUnitHeader);
    EXPECT_EQ(table.field(0, SectionTitle), "");
    EXPECT_EQ(table.field(2, SectionTitle), "第一课");
    EXPECT_EQ(table.field(2, MediaPath), "..");
    EXPECT_EQ(table.field(2, MediaName), "a.mp3");
    EXPECT_EQ(table.field(4, MediaLengthMs), "90000");
    EXPECT_EQ(table.field(2, EndMs), "2500"); // from the next sentence
    EXPECT_EQ(table.field(3, EndMs), "2400"); // set already
    EXPECT_EQ(table.field(4, EndMs), "0");    // a title row follows

    // The Notebook's rows keep their own Sections.
    SentenceRow kept = sentence("n");
    kept[SectionTitle] = "其他单元";
    fill({head, kept});
    pass(kNotebookHeader, {}, true);
    EXPECT_EQ(table.field(1, SectionTitle), "其他单元");
}

TEST(CompletionTable, KeepsOneEntryPerUnitAndFollowsDeletions)
{
    CompletionTable table;
    EXPECT_EQ(table.totalPercentText(), "0%");
    table.SetCompletion(0, 100);
    table.SetCompletion(1, 0);
    table.SetCompletion(2, 0);
    EXPECT_EQ(table.totalPercentText(), "33%");
    table.SetCompletion(1, 100);
    EXPECT_EQ(table.totalPercentText(), "67%");
    table.removePosition(1);
    EXPECT_EQ(table.percentOf(1), 0); // the Unit that was at 2
    EXPECT_EQ(table.percentOf(2), -1);
    EXPECT_EQ(table.totalPercentText(), "50%");
    for (int p = 0; p < 150; ++p)
        table.SetCompletion(p, 100);
    EXPECT_EQ(table.percentOf(99), 100);
    EXPECT_EQ(table.percentOf(100), -1); // full: nothing stored
}

TEST_F(ProgressPassTest, RightAnswersRestTheRowAndLateOnesAskAgain)
{
    SentenceRow hinted = sentence("y", "0", "5");
    hinted[Text2] = "the learner's translation";
    fill({title("T"), sentence("你好世界", "0", "2", yesterday), sentence("x", "1", "5", today),
          hinted});
    StudyTotals totals;
    const AnswerResult right = acceptAnswer(table, 1, 3, now, now - 12, totals);
    EXPECT_EQ(right.effect, AnswerEffect::Rested);
    EXPECT_TRUE(right.unitModified);
    EXPECT_EQ(table.field(1, Done), "1");
    EXPECT_EQ(table.field(1, Level), "3");
    EXPECT_EQ(table.field(1, StudiedAt), "20260615151500");
    EXPECT_EQ(totals.studyChars, 4);
    EXPECT_EQ(totals.studySeconds, 12);
    // A resting row and rows out of range are not touched.
    EXPECT_EQ(acceptAnswer(table, 2, 0, now, now - 5, totals).effect, AnswerEffect::Unchanged);
    EXPECT_EQ(table.field(2, Level), "5");
    EXPECT_FALSE(acceptAnswer(table, 9, 0, now, now, totals).unitModified);
    EXPECT_FALSE(acceptAnswer(table, -1000, 0, now, now, totals).unitModified);
    EXPECT_EQ(totals.studyChars, 4);
    // Answered only after the hints: stays to study, loses a level above 3,
    // and the learner's second line stays as it was.
    const AnswerResult hintedAnswer = acceptAnswer(table, 3, 4, now, now, totals);
    EXPECT_EQ(hintedAnswer.effect, AnswerEffect::AskAgain);
    EXPECT_TRUE(hintedAnswer.unitModified);
    EXPECT_EQ(table.field(3, Level), "4");
    EXPECT_EQ(table.field(3, Done), "0");
    EXPECT_EQ(table.field(3, Text2), "the learner's translation");
    table.setField(3, Level, "3");
    const AnswerResult again = acceptAnswer(table, 3, 7, now, now, totals);
    EXPECT_EQ(again.effect, AnswerEffect::AskAgain);
    EXPECT_FALSE(again.unitModified);
    EXPECT_EQ(table.field(3, Level), "3");

    clearRecord(table);
    for (int r = 0; r < table.rowCount(); ++r) {
        EXPECT_EQ(table.field(r, Done), "0");
        EXPECT_EQ(table.field(r, Level), "0");
        EXPECT_EQ(table.field(r, StudiedAt), kDefaultStampText);
    }
}
