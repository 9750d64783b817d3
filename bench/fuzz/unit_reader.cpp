// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the Unit reader, as a damaged or hostile Unit file
// would. Besides surviving, the reader must hand back rows that the writer
// turns into a file which reads back as exactly the same rows and header.
// The start-up scan's look at the bytes must agree with loading and saving:
// figures exactly when the save writes the same bytes, and the same figures.
#include "core/study/daily_review.h"
#include "core/study/progress_pass.h"
#include "core/study/unit_file.h"
#include "core/study/unit_scan.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <ctime>

using namespace dictora;

namespace {

UnitReadResult readBytes(const QByteArray& bytes, bool isNotebook, const RowReview& review = {})
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readUnit(buffer, isNotebook, review);
}

void checkRoundTrip(const UnitReadResult& first, bool isNotebook)
{
    if (!first.headerRead)
        return;
    const QByteArray written = encodeUnit(first.header, first.rows, isNotebook);
    const UnitReadResult second = readBytes(written, isNotebook);
    if (!second.terminated || second.rows != first.rows ||
        std::memcmp(&second.header, &first.header, sizeof first.header) != 0)
        std::abort();
    // Written in the 16-bit form, a file is rewritten byte for byte.
    if (encodeUnit(second.header, second.rows, isNotebook) != written)
        std::abort();
}

bool sameFigures(const ProgressFigures& a, const ProgressFigures& b)
{
    return a.rowCount == b.rowCount && a.doneRows == b.doneRows && a.todayNew == b.todayNew &&
           a.todayDone == b.todayDone && a.todayTotal == b.todayTotal &&
           a.todayDoneChars == b.todayDoneChars && a.todayTotalChars == b.todayTotalChars &&
           a.quotaEndRow == b.quotaEndRow && a.percent == b.percent &&
           a.texts.unitPercentText == b.texts.unitPercentText &&
           a.texts.progressLine == b.texts.progressLine &&
           a.texts.estimateText == b.texts.estimateText;
}

void checkScan(const QByteArray& bytes, bool isNotebook, TimeValue now)
{
    const StudyTotals totals{30, 100};
    UnitReadResult read = readBytes(bytes, isNotebook, dailyReviewAsOf(now));
    const UnitHeader header = loadedHeader(read, isNotebook);
    SentenceTable table;
    table.replaceAll(std::move(read.rows));
    const ProgressFigures figures = runProgressPass(table, header, isNotebook, now, totals);
    const bool unchanged =
        read.markMatches && encodeUnit(header, table.rows(), isNotebook) == bytes;
    const std::optional<ProgressFigures> scanned =
        unchangedUnitFigures(bytes, isNotebook, now, totals);
    if (scanned.has_value() != unchanged || (scanned && !sameFigures(*scanned, figures)))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Stamps go through local time; a zone without daylight saving keeps
    // every stamp unambiguous, so the round trip is exact.
    setenv("TZ", "UTC", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const bool isNotebook : {false, true})
        checkRoundTrip(readBytes(bytes, isNotebook), isNotebook);
    // The daily review on every sentence, as loading does.
    const TimeValue now = 1780000000;
    readBytes(bytes, false, [now](ReviewFields& fields, const UnitHeader& header) {
        DailyReview(fields, header.reviewFrequency, now);
    });
    for (const bool isNotebook : {false, true})
        checkScan(bytes, isNotebook, now);
    return 0;
}
