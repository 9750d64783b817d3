// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/sentence_list_rules.h"

#include "core/study/row_look.h"
#include "core/study/study_state.h"

#include "study_fixtures.h"

#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(ListClick, ByRowKindModeAndWhetherItIsTheCurrentRow)
{
    SentenceTable table;
    table.appendRow(test::title("Greetings"));
    table.appendRow(test::sentence("Hello.", "0"));
    const struct {
        const char* name;
        int row, current;
        bool edit, doubleClick;
        bool forget, pick, toggle, open;
        const char* tip;
    } cases[] = {
        {"off the rows", -1, 1, true, false, true, false, false, false, ""},
        {"no current row", 1, -1, false, false, true, false, false, false, ""},
        {"another row", 0, 1, true, false, false, false, false, false, ""},
        {"sentence: play or pause", 1, 1, false, false, false, false, true, false, ""},
        {"sentence in Edit mode", 1, 1, true, false, false, true, true, false, ""},
        {"title", 0, 0, false, false, false, false, false, false, ""},
        {"title in Edit mode", 0, 0, true, false, false, false, false, false, "双击配置"},
        {"double click on the title in Edit mode", 0, 0, true, true, false, false, false, true,
         ""},
        {"double click on the title", 0, 0, false, true, false, false, false, false, ""},
        {"double click on a sentence", 1, 1, true, true, false, false, false, false, ""},
        {"double click off the rows", -1, 0, true, true, true, false, false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ListClick click = listClick(table, c.row, c.current, c.edit, c.doubleClick);
        EXPECT_EQ(click.forgetPoint, c.forget);
        EXPECT_EQ(click.pickTimePoint, c.pick);
        EXPECT_EQ(click.togglePlayback, c.toggle);
        EXPECT_EQ(click.openTitle, c.open);
        EXPECT_EQ(click.tip, QString::fromUtf8(c.tip));
    }
}

TEST(RowLook, WhatARowShowsByModeKindAndWhetherItIsCurrent)
{
    SentenceRow title = test::title("Greetings");
    SentenceRow sentence = test::sentence("Hello.", "1", "2");
    sentence[StudiedAt] = QStringLiteral("20261207093000");
    const struct {
        const char* name;
        bool isTitle, current, edit, dictation;
        int selectedPoint;
        const char* text;
        int textLeft, emSize;
        bool timeColumns;
        int pointBar;
        quint32 bandTop;
    } cases[] = {
        {"title", true, false, false, false, 1, "Greetings", 5, 23, false, 0, 0xFFFAFAFA},
        {"title in Edit mode", true, false, true, false, 1, "Greetings", 5, 23, false, 0,
         0xFFFAF0FA},
        {"current title", true, true, false, true, 1, "Greetings", 5, 24, false, 0, 0xFF40C0FF},
        {"sentence", false, false, false, false, 1, "Hello.", 30, 22, false, 0, 0},
        {"current sentence", false, true, false, false, 1, "Hello.", 30, 23, false, 0,
         0xFF40C0FF},
        {"Edit mode: times, text after them", false, false, true, false, 1, "Hello.", 330, 22,
         true, 0, 0},
        {"current in Edit mode: chosen start", false, true, true, false, 1, "Hello.", 330, 23,
         true, 1, 0xFF40C0FF},
        {"current in Edit mode: chosen end", false, true, true, false, 2, "Hello.", 330, 23, true,
         2, 0xFF40C0FF},
        {"current in Edit mode: none chosen", false, true, true, false, -1, "Hello.", 330, 23,
         true, 0, 0xFF40C0FF},
        {"the sentence being dictated is hidden", false, true, false, true, 1, "", 30, 23, false,
         0, 0xFF40C0FF},
        {"other sentences in Dictation", false, false, false, true, 1, "Hello.", 30, 22, false,
         0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StudyState state;
        state.editMode = c.edit;
        state.dictationMode = c.dictation;
        state.currentRow = c.current ? 4 : 3;
        const RowLook look =
            rowLook(c.isTitle ? title : sentence, 4, state, c.selectedPoint, "20261207");
        EXPECT_EQ(look.title, c.isTitle);
        EXPECT_EQ(look.current, c.current);
        EXPECT_EQ(look.text, QString::fromUtf8(c.text));
        EXPECT_EQ(look.textLeft, c.textLeft);
        EXPECT_EQ(look.emSize, c.emSize);
        EXPECT_EQ(look.timeColumns, c.timeColumns);
        EXPECT_EQ(look.pointBar, c.pointBar);
        EXPECT_EQ(look.bandTop, c.bandTop);
        EXPECT_EQ(look.marker, c.isTitle ? RowMarker::New : RowMarker::TodayStrong);
    }
    // The marker's colours: today weak red, today strong solid green,
    // earlier green, a new row none.
    EXPECT_EQ(markerPaint(RowMarker::TodayWeak).style, MarkerPaint::Gradient);
    EXPECT_EQ(markerPaint(RowMarker::TodayWeak).argb, 0xC0FF0000u);
    EXPECT_EQ(markerPaint(RowMarker::TodayStrong).style, MarkerPaint::Solid);
    EXPECT_EQ(markerPaint(RowMarker::LearnedBefore).argb, 0xA03CFF3Cu);
    EXPECT_EQ(markerPaint(RowMarker::New).style, MarkerPaint::None);
}

TEST(RowPartSpan, APartAndAPixelEitherSideForTheBarUnderATimePoint)
{
    using Span = std::pair<int, int>;
    EXPECT_EQ(rowPartSpan(WholeWidth, false, 800, 820), Span(-1, 801));
    EXPECT_EQ(rowPartSpan(TimeColumns, true, 800, 820), Span(30, 330));
    EXPECT_EQ(rowPartSpan(StartColumn, true, 800, 820), Span(30, 180));
    EXPECT_EQ(rowPartSpan(EndColumn, true, 800, 820), Span(180, 340));
    EXPECT_EQ(rowPartSpan(TextColumn, true, 800, 820), Span(330, 801));
    EXPECT_EQ(rowPartSpan(TextColumn, false, 800, 820), Span(30, 801));
    EXPECT_EQ(rowPartSpan(7, false, 800, 820), Span(-1, 821));
    // The columns the repaints cover are the ones a click picks.
    EXPECT_EQ(timePointAt(kMarkerRight + 1), 1);
    EXPECT_EQ(timePointAt(kStartColumnRight - 1), 1);
    EXPECT_EQ(timePointAt(kStartColumnRight + 1), 2);
    EXPECT_EQ(timePointAt(kEndColumnRight), -1);
}

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
