// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/sentence_list_rules.h"

#include "study_fixtures.h"

#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(TimePointText, HoursMinutesSecondsHundredths)
{
    const struct {
        uint32_t ms;
        const char* shown;
    } cases[] = {{0, "00:00:00.00"},       {1509, "00:00:01.50"},    {61999, "00:01:01.99"},
                 {3600000, "01:00:00.00"}, {3725010, "01:02:05.01"}, {360000000, "100:00:00.00"}};
    for (const auto& c : cases)
        EXPECT_EQ(timePointText(c.ms), QString::fromLatin1(c.shown)) << c.ms;
}

TEST(RowMarker, LearnedTodayByLevelThenLearnedThenNew)
{
    const QString today = QStringLiteral("20261207");
    const struct {
        const char* done;
        const char* level;
        const char* studiedAt;
        RowMarker marker;
    } cases[] = {
        {"1", "0", "20261207093000", RowMarker::TodayWeak},
        {"1", "1", "20261207093000", RowMarker::TodayWeak},
        {"1", "2", "20261207093000", RowMarker::TodayStrong},
        {"1", "5", "20261206093000", RowMarker::LearnedBefore},
        {"0", "3", "20261207093000", RowMarker::LearnedBefore},
        {"0", "0", "20261207093000", RowMarker::New},
        {"1", "0", "20140101010101", RowMarker::New},
    };
    for (const auto& c : cases) {
        SentenceRow row = makeSentenceRow();
        row[Done] = QString::fromLatin1(c.done);
        row[Level] = QString::fromLatin1(c.level);
        row[StudiedAt] = QString::fromLatin1(c.studiedAt);
        EXPECT_EQ(rowMarker(row, today), c.marker) << c.done << c.level << c.studiedAt;
    }
}

TEST(TimePointAt, StartAndEndColumnsWithTheirEdges)
{
    const std::pair<int, int> cases[] = {{30, -1}, {31, 1},  {179, 1},  {180, -1},
                                         {181, 2}, {329, 2}, {330, -1}, {600, -1}};
    for (const auto& [x, point] : cases)
        EXPECT_EQ(timePointAt(x), point) << x;
}

TEST(PagingTarget, SelectedRowStaysOffTheFirstAndLastTwoLines)
{
    // A 700-pixel list shows 20 rows; rowTop is relative to the list's top.
    const struct {
        int rowTop;
        int row;
        int rowCount;
        int target;
    } cases[] = {
        {0, 10, 100, 9},        // first visible line: the previous row comes into view
        {0, 0, 100, -1},        // the first row has none before it
        {35, 11, 100, -1},      // second line: nothing scrolls
        {16 * 35, 26, 100, -1}, // four lines left below: nothing scrolls
        {18 * 35, 28, 100, 46}, // second to last line: pages to become the second line
        {19 * 35, 29, 100, 47}, {18 * 35, 28, 30, 29}, // limited to the last row
    };
    for (const auto& c : cases)
        EXPECT_EQ(pagingTarget(c.rowTop, c.row, 700, c.rowCount, 35), c.target) << c.rowTop;
}

TEST(UnitPopupSize, WeightedNameLengthAndRowCount)
{
    const QString tenCjk = QStringLiteral("一二三四五六七八九十");
    EXPECT_EQ(weightedNameLength(tenCjk), 20);
    EXPECT_EQ(weightedNameLength(QStringLiteral("abcé")), 4);
    EXPECT_EQ(unitPopupWidth({QStringLiteral("生句本"), tenCjk}), 410);
    EXPECT_EQ(unitPopupWidth({QStringLiteral("生句本"), QStringLiteral("Unit 1")}), 300);
    EXPECT_EQ(unitPopupWidth({QStringLiteral("abcdefghijklmnopqrstu")}), 426);
    EXPECT_EQ(unitPopupHeight(1), 200);
    EXPECT_EQ(unitPopupHeight(4), 210);
}

} // namespace
} // namespace dictora
