// SPDX-License-Identifier: GPL-3.0-or-later
// The scan's look at the bytes must agree with loading, the pass and the
// writer: figures exactly when the save would write the same bytes, and then
// the same figures.
#include "core/study/progress_pass.h"
#include "core/study/unit_file.h"
#include "core/study/unit_scan.h"

#include "study_fixtures.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

struct FullSave {
    bool unchanged = false;
    ProgressFigures figures;
};

FullSave loadAndSave(QByteArray bytes, bool isNotebook, TimeValue now, const StudyTotals& totals)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    UnitReadResult read = readUnit(buffer, isNotebook, dailyReviewAsOf(now));
    const UnitHeader header = loadedHeader(read, isNotebook);
    SentenceTable table;
    table.replaceAll(std::move(read.rows));
    FullSave save;
    save.figures = runProgressPass(table, header, isNotebook, now, totals);
    save.unchanged = encodeUnit(header, table.rows(), isNotebook) == bytes;
    return save;
}

void expectSameFigures(const ProgressFigures& a, const ProgressFigures& b)
{
    EXPECT_EQ(a.rowCount, b.rowCount);
    EXPECT_EQ(a.doneRows, b.doneRows);
    EXPECT_EQ(a.todayNew, b.todayNew);
    EXPECT_EQ(a.todayDone, b.todayDone);
    EXPECT_EQ(a.todayTotal, b.todayTotal);
    EXPECT_EQ(a.todayDoneChars, b.todayDoneChars);
    EXPECT_EQ(a.todayTotalChars, b.todayTotalChars);
    EXPECT_EQ(a.quotaEndRow, b.quotaEndRow);
    EXPECT_EQ(a.percent, b.percent);
    EXPECT_EQ(a.texts.unitPercentText, b.texts.unitPercentText);
    EXPECT_EQ(a.texts.progressLine, b.texts.progressLine);
    EXPECT_EQ(a.texts.estimateText, b.texts.estimateText);
}

SentenceRow timed(const QString& text, const char* startMs, const char* endMs,
                  const QString& done = "0", const QString& level = "0",
                  const QString& studiedAt = kDefaultStampText)
{
    SentenceRow row = sentence(text, done, level, studiedAt);
    row[StartMs] = startMs;
    row[EndMs] = endMs;
    return row;
}

QByteArray withLegacyText(QByteArray bytes)
{
    // The first sentence's text "abc" in the 16-bit form, made 8-bit.
    const QByteArray wide = QByteArray("\xFF\xFE\xFF\x03"
                                       "a\0b\0c\0",
                                       10);
    const qsizetype at = bytes.indexOf(wide);
    return at < 0 ? QByteArray()
                  : bytes.replace(at, wide.size(),
                                  QByteArray("\x03"
                                             "abc",
                                             4));
}

QByteArray withLongLengthForm(QByteArray bytes)
{
    const QByteArray shortForm = QByteArray("\xFF\xFE\xFF\x03", 4);
    const qsizetype at = bytes.indexOf(shortForm);
    return at < 0 ? QByteArray() : bytes.replace(at, 4, QByteArray("\xFF\xFE\xFF\xFF\x03\x00", 6));
}

} // namespace

TEST(UnitScan, FiguresExactlyWhenTheSaveWouldWriteTheSameBytes)
{
    ScopedTimeZone zone("Asia/Shanghai");
    const TimeValue now = at("20260615151500");
    const StudyTotals totals{40, 200};
    const std::vector<SentenceRow> settled{
        title("第一课"),
        timed("abc", "1000", "2000", "1", "3", "20260614090000"),
        timed("Second sentence.", "2000", "3500"),
        timed("today", "3500", "5000", "1", "1", "20260615100000"),
        title("第二课"),
        timed(QString(300, u'长'), "0", "0")};
    const QByteArray plain = encodeUnit({2, 2.0f, 0}, settled, false);
    std::vector<SentenceRow> unfilled = settled;
    unfilled[2][EndMs] = "0"; // filled from the next start on saving
    std::vector<SentenceRow> beforeOddKind = unfilled;
    beforeOddKind[3][Kind] = "7"; // a sentence all the same
    std::vector<SentenceRow> overdue = settled;
    overdue[1][StudiedAt] = "20260301090000"; // demoted on loading
    std::vector<SentenceRow> notebook{timed("abc", "0", "100", "0", "0"),
                                      timed("from 课", "100", "0", "1", "2", "20260615140000")};
    notebook[1][SectionTitle] = "课";
    const struct {
        const char* what;
        QByteArray bytes;
        bool isNotebook;
        bool unchanged;
    } cases[] = {
        {"settled Unit", plain, false, true},
        {"counting Sections", encodeUnit({2, 0.5f, 1}, settled, false), false, true},
        {"empty Unit", encodeUnit(kNewUnitHeader, {}, false), false, true},
        {"Notebook, twelve fields on every row", encodeUnit(kNotebookHeader, notebook, true), true,
         true},
        {"endMs to fill", encodeUnit({2, 2.0f, 0}, unfilled, false), false, false},
        {"endMs to fill from a kind 7", encodeUnit({2, 2.0f, 0}, beforeOddKind, false), false,
         false},
        {"review demotes", encodeUnit({2, 2.0f, 0}, overdue, false), false, false},
        {"8-bit string", withLegacyText(plain), false, false},
        {"longer length form", withLongLengthForm(plain), false, false},
        {"bytes after the terminator", plain + "x", false, false},
        {"no terminator", plain.chopped(4), false, false},
        {"cut in a record", plain.chopped(9), false, false},
        {"no format mark", QByteArray(8, 'x') + plain.mid(8), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.bytes.isEmpty());
        const FullSave full = loadAndSave(c.bytes, c.isNotebook, now, totals);
        const std::optional<ProgressFigures> scanned =
            unchangedUnitFigures(c.bytes, c.isNotebook, now, totals);
        if (c.what != std::string("no format mark")) { // loads, but is never listed
            EXPECT_EQ(full.unchanged, c.unchanged);
        }
        ASSERT_EQ(scanned.has_value(), c.unchanged);
        if (scanned)
            expectSameFigures(*scanned, full.figures);
    }
}

TEST(UnitScan, StampsInTheHourClocksGoBackAreLeftToTheFullSave)
{
    ScopedTimeZone zone("Europe/Berlin");
    // 02:30 on 2025-10-26 happens twice; only one of them survives the
    // stamp's text form.
    const TimeValue first = 1761438600; // 00:30 UTC, 02:30 summer time
    for (const TimeValue studied : {first, first + 3600}) {
        SentenceRow row = timed("x", "0", "0", "1", "-1", FormatStamp(studied));
        QByteArray bytes = encodeUnit({2, 1.0f, 0}, {title("T"), row}, false);
        // The stamp as stored, not as the writer would make it from text.
        const qsizetype stampAt = bytes.size() - 8;
        const uint32_t raw = uint32_t(studied);
        std::memcpy(bytes.data() + stampAt, &raw, 4);
        const TimeValue now = at("20251101120000");
        const FullSave full = loadAndSave(bytes, false, now, {});
        EXPECT_EQ(unchangedUnitFigures(bytes, false, now, {}).has_value(), full.unchanged)
            << studied;
    }
}
