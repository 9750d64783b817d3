// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/row_editing.h"
#include "core/study/sentence_table.h"
#include "core/study/time_drag.h"

#include "study_fixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace dictora {
namespace {

// A Unit of one Section: title, then sentences with (start, end) times.
void timedSection(SentenceTable& table, const std::vector<std::pair<int, int>>& spans)
{
    {
        SentenceRow title = makeTitleRow(QStringLiteral("第一课"));
        title[StartMs] = QStringLiteral("0");
        title[EndMs] = QStringLiteral("0");
        table.appendRow(title);
    }
    int n = 0;
    for (const auto& [start, end] : spans) {
        SentenceRow row = makeSentenceRow();
        row[Text] = QStringLiteral("s%1").arg(++n);
        row[StartMs] = QString::number(start);
        row[EndMs] = QString::number(end);
        row[MediaName] = QStringLiteral("a.mp3");
        table.appendRow(row);
    }
}

std::vector<std::pair<int, int>> spansOf(const SentenceTable& table)
{
    std::vector<std::pair<int, int>> spans;
    for (int r = 0; r < table.rowCount(); ++r)
        spans.emplace_back(table.field(r, StartMs).toInt(), table.field(r, EndMs).toInt());
    return spans;
}

struct ShiftCase {
    const char* name;
    bool notebook;
    std::vector<std::pair<int, int>> before; // sentence spans after a title (ordinary Unit)
    int row;
    int delta;
    bool whole;
    int point;
    bool changed;
    std::vector<std::pair<int, int>> after; // every row, the title included when present
};

// Rows: 0 title (0,0); then the sentences.
const std::vector<ShiftCase> kShiftCases = {
    {"start earlier, previous end follows",
     false,
     {{1000, 2000}, {2000, 3000}},
     2,
     -50,
     false,
     1,
     true,
     {{0, 0}, {1000, 1950}, {1950, 3000}}},
    {"start earlier stops at the previous start",
     false,
     {{1000, 1020}, {1030, 3000}},
     2,
     -500,
     false,
     1,
     true,
     {{0, 0}, {1000, 1000}, {1000, 3000}}},
    {"start later stops at its own end",
     false,
     {{1000, 2000}, {2000, 2030}},
     2,
     50,
     false,
     1,
     true,
     {{0, 0}, {1000, 2000}, {2030, 2030}}},
    {"start later leaves the previous end",
     false,
     {{1000, 2000}, {2000, 3000}},
     2,
     50,
     false,
     1,
     true,
     {{0, 0}, {1000, 2000}, {2050, 3000}}},
    {"start at its end clipped to nothing",
     false,
     {{1000, 2000}, {3000, 3000}},
     2,
     50,
     false,
     1,
     false,
     {{0, 0}, {1000, 2000}, {3000, 3000}}},
    // Overlapping rows: the follow rule must not move the neighbour of a
    // shift that its own limits clip to nothing.
    {"start clipped to nothing leaves an overlapping previous end",
     false,
     {{1000, 3500}, {3000, 3000}},
     2,
     50,
     false,
     1,
     false,
     {{0, 0}, {1000, 3500}, {3000, 3000}}},
    {"end clipped to nothing leaves an overlapping next start",
     false,
     {{3000, 3000}, {2000, 2500}},
     1,
     -50,
     false,
     2,
     false,
     {{0, 0}, {3000, 3000}, {2000, 2500}}},
    {"end later, next start follows",
     false,
     {{1000, 2000}, {2000, 3000}},
     1,
     50,
     false,
     2,
     true,
     {{0, 0}, {1000, 2050}, {2050, 3000}}},
    {"end later stops at the next end",
     false,
     {{1000, 2000}, {2000, 2100}},
     1,
     500,
     false,
     2,
     true,
     {{0, 0}, {1000, 2100}, {2100, 2100}}},
    {"end earlier stops at its own start",
     false,
     {{1000, 1030}, {2000, 3000}},
     1,
     -50,
     false,
     2,
     true,
     {{0, 0}, {1000, 1000}, {2000, 3000}}},
    {"end of the last sentence has no next limit",
     false,
     {{1000, 2000}},
     1,
     500,
     false,
     2,
     true,
     {{0, 0}, {1000, 2500}}},
    {"unknown point changes nothing",
     false,
     {{1000, 2000}},
     1,
     50,
     false,
     -1,
     false,
     {{0, 0}, {1000, 2000}}},
    {"whole span later moves the rest of the Section",
     false,
     {{1000, 2000}, {2000, 3000}, {3000, 4000}},
     2,
     500,
     true,
     0,
     true,
     {{0, 0}, {1000, 2000}, {2500, 3500}, {3500, 4500}}},
    {"whole span earlier stops at the previous end",
     false,
     {{1000, 2000}, {2200, 3000}},
     2,
     -500,
     true,
     0,
     true,
     {{0, 0}, {1000, 2000}, {2000, 2800}}},
    {"whole span earlier at the previous end changes nothing",
     false,
     {{1000, 2000}, {2000, 3000}},
     2,
     -500,
     true,
     0,
     false,
     {{0, 0}, {1000, 2000}, {2000, 3000}}},
    {"notebook start never below 0",
     true,
     {{30, 2000}},
     1,
     -50,
     false,
     1,
     true,
     {{0, 0}, {0, 2000}}},
    {"notebook end later has no limit, next row untouched",
     true,
     {{1000, 2000}, {2000, 3000}},
     1,
     500,
     false,
     2,
     true,
     {{0, 0}, {1000, 2500}, {2000, 3000}}},
    {"notebook start earlier leaves the previous row",
     true,
     {{1000, 2000}, {2000, 3000}},
     2,
     -500,
     false,
     1,
     true,
     {{0, 0}, {1000, 2000}, {1500, 3000}}},
    {"notebook whole span moves one row only",
     true,
     {{1000, 2000}, {2000, 3000}},
     1,
     500,
     true,
     0,
     true,
     {{0, 0}, {1500, 2500}, {2000, 3000}}},
    {"notebook whole span earlier stops at 0",
     true,
     {{300, 2000}},
     1,
     -500,
     true,
     0,
     true,
     {{0, 0}, {0, 1700}}},
};

TEST(ShiftTime, MovesTimePointsWithinTheirLimits)
{
    for (const ShiftCase& c : kShiftCases) {
        SCOPED_TRACE(c.name);
        SentenceTable table;
        timedSection(table, c.before);
        const TimeShift shift = ShiftTime(table, c.row, c.delta, c.whole, c.point, c.notebook);
        EXPECT_EQ(shift.changed, c.changed);
        EXPECT_EQ(spansOf(table), c.after);
        if (!c.changed) {
            EXPECT_TRUE(shift.repaints.empty());
        }
    }
}

// A mark dragged on the waveform moves within exactly the limits of the
// keys: every one-point case of the table, dragged to where the key would
// have put it, ends the same way.
TEST(DragTimePoint, KeepsTheLimitsOfShiftTime)
{
    for (const ShiftCase& c : kShiftCases) {
        if (c.whole || (c.point != 1 && c.point != 2))
            continue;
        SCOPED_TRACE(c.name);
        SentenceTable table;
        timedSection(table, c.before);
        const int current = table.field(c.row, c.point == 1 ? StartMs : EndMs).toInt();
        const TimeShift shift = dragTimePoint(table, c.row, c.point, current + c.delta, c.notebook);
        EXPECT_EQ(shift.changed, c.changed);
        EXPECT_EQ(spansOf(table), c.after);
    }
}

TEST(DragTimePoint, SnapsToTenMillisecondSteps)
{
    const std::vector<std::pair<int, int>> snaps = {
        {0, 0}, {4, 0}, {5, 10}, {1234, 1230}, {1235, 1240}, {-40, 0}};
    for (const auto& [target, snapped] : snaps)
        EXPECT_EQ(snapDraggedTime(target), snapped) << target;
    SentenceTable table;
    timedSection(table, {{1000, 2000}, {2000, 3000}});
    EXPECT_TRUE(dragTimePoint(table, 1, 2, 2503, false).changed);
    EXPECT_EQ(spansOf(table), (std::vector<std::pair<int, int>>{{0, 0}, {1000, 2500}, {2500, 3000}}));
    // Dropped where it already was: nothing changes, nothing replays.
    EXPECT_FALSE(dragTimePoint(table, 1, 2, 2498, false).changed);
    EXPECT_FALSE(dragTimePoint(table, 1, 0, 1500, false).changed);
    EXPECT_FALSE(dragTimePoint(table, 9, 1, 1500, false).changed);
}

TEST(ShiftTime, WholeSpanStopsAtTheNextTitle)
{
    SentenceTable table;
    timedSection(table, {{1000, 2000}, {2000, 3000}});
    SentenceRow second = makeTitleRow(QStringLiteral("第二课"));
    second[StartMs] = QStringLiteral("0");
    second[EndMs] = QStringLiteral("0");
    table.appendRow(second);
    SentenceRow after = makeSentenceRow();
    after[StartMs] = QStringLiteral("500");
    after[EndMs] = QStringLiteral("900");
    table.appendRow(after);
    const TimeShift shift = ShiftTime(table, 1, 500, true, 0, false);
    EXPECT_EQ(spansOf(table), (std::vector<std::pair<int, int>>{
                                  {0, 0}, {1500, 2500}, {2500, 3500}, {0, 0}, {500, 900}}));
    EXPECT_EQ(shift.repaints, (std::vector<RowRepaint>{{1, 1}, {2, 1}}));
}

TEST(ShiftTime, RepaintsTheNeighbourThatFollowed)
{
    SentenceTable table;
    timedSection(table, {{1000, 2000}, {2000, 3000}});
    EXPECT_EQ(ShiftTime(table, 2, -50, false, 1, false).repaints,
              (std::vector<RowRepaint>{{1, 3}, {2, 2}}));
    EXPECT_EQ(ShiftTime(table, 1, 100, false, 2, false).repaints,
              (std::vector<RowRepaint>{{2, 2}, {1, 3}}));
}

TEST(ShiftTime, AnEndOfZeroDoesNotWrapBelowZero)
{
    // The first sentence starts at 0 and a later one has the open end 0.
    SentenceTable table;
    timedSection(table, {{600, 1000}, {1000, 0}});
    EXPECT_TRUE(ShiftTime(table, 1, -500, true, 0, false).changed);
    EXPECT_EQ(table.field(2, EndMs), QStringLiteral("0"));
    EXPECT_EQ(table.field(2, StartMs), QStringLiteral("500"));
}

TEST(InsertRow, ContinuesThePreviousRowInAnOrdinaryUnit)
{
    SentenceTable table;
    timedSection(table, {{1000, 2000}, {2500, 3000}});
    table.setField(1, SectionTitle, QStringLiteral("第一课"));
    table.setField(1, MediaPath, QStringLiteral(".."));
    table.setField(1, MediaLengthMs, QStringLiteral("60000"));
    InsertRow(table, 2, false);
    const SentenceRow& row = table.row(2);
    EXPECT_EQ(row[Kind], QStringLiteral("1"));
    EXPECT_EQ(row[StartMs], QStringLiteral("2000"));
    EXPECT_EQ(row[EndMs], QStringLiteral("2500"));
    EXPECT_EQ(row[Text], QString());
    EXPECT_EQ(row[Done], QStringLiteral("0"));
    EXPECT_EQ(row[Level], QStringLiteral("0"));
    EXPECT_EQ(row[StudiedAt], QStringLiteral("20140101010101"));
    EXPECT_EQ(row[SectionTitle], QStringLiteral("第一课"));
    EXPECT_EQ(row[MediaPath], QStringLiteral(".."));
    EXPECT_EQ(row[MediaName], QStringLiteral("a.mp3"));
    EXPECT_EQ(row[MediaLengthMs], QStringLiteral("60000"));
    EXPECT_EQ(table.rowCount(), 4);
}

TEST(InsertRow, StandsAloneInTheNotebookAndAtTheEdges)
{
    SentenceTable table;
    timedSection(table, {{1000, 2000}, {2500, 3000}});
    InsertRow(table, 2, true);
    EXPECT_EQ(table.field(2, StartMs), QStringLiteral("0"));
    EXPECT_EQ(table.field(2, EndMs), QStringLiteral("0"));
    EXPECT_EQ(table.field(2, MediaName), QString());
    EXPECT_EQ(table.field(2, MediaLengthMs), QStringLiteral("0"));

    InsertRow(table, 0, false); // nothing before: no start, ends at the next start
    EXPECT_EQ(table.field(0, StartMs), QStringLiteral("0"));
    InsertRow(table, table.rowCount(), false); // nothing after: end stays 0
    EXPECT_EQ(table.field(table.rowCount() - 1, StartMs), QStringLiteral("3000"));
    EXPECT_EQ(table.field(table.rowCount() - 1, EndMs), QStringLiteral("0"));
}

TEST(DeleteSectionRows, StopsAtTheNextTitleOrTheEnd)
{
    SentenceTable table;
    timedSection(table, {{0, 1}, {1, 2}});
    table.appendRow(makeTitleRow(QStringLiteral("第二课")));
    table.appendRow(makeSentenceRow());
    EXPECT_EQ(deleteSectionRows(table, 0), 3);
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.field(0, SectionTitle), QStringLiteral("第二课"));
    EXPECT_EQ(deleteSectionRows(table, 0), 2);
    EXPECT_EQ(table.rowCount(), 0);
}

TEST(ToggleTitleRow, SwitchesKindAndKeepsTheRest)
{
    SentenceTable table;
    timedSection(table, {{1000, 2000}});
    toggleTitleRow(table, 1);
    EXPECT_TRUE(table.isTitleRow(1));
    EXPECT_EQ(table.field(1, Text), QStringLiteral("s1"));
    toggleTitleRow(table, 1);
    EXPECT_EQ(table.field(1, Kind), QStringLiteral("1"));
}

} // namespace
} // namespace dictora
