// Feeds arbitrary bytes to the Unit reader, as a damaged or hostile Unit file
// would. Besides surviving, the reader must hand back rows that the writer
// turns into a file which reads back as exactly the same rows and header.
#include "core/study/daily_review.h"
#include "core/study/unit_file.h"

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
    return 0;
}
