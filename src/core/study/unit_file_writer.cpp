// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/unit_file.h"

#include "core/study/number_text.h"

#include <QDir>
#include <QtEndian>

#include <cstring>

namespace dictora {

namespace {

// The 32-bit time value a stamp is stored as; dates outside 1970-2106 are
// held at the nearest end rather than wrapped into another century.
uint32_t storedTime(const QString& stamp)
{
    const TimeValue time = ParseStamp(stamp);
    if (time < 0)
        return 0;
    if (time > TimeValue(UINT32_MAX))
        return UINT32_MAX;
    return uint32_t(time);
}

// Writing goes into a buffer sized beforehand, so a Unit is encoded with one
// allocation.
qsizetype stringSize(const QString& text)
{
    const qsizetype n = text.size();
    return 3 + (n < 0xFF ? 1 : n < 0xFFFE ? 3 : 7) + n * 2;
}

qsizetype recordSize(const SentenceRow& row, int32_t kind, bool isNotebook)
{
    qsizetype size = 6 * 4 + stringSize(row[Text]) + stringSize(row[Text2]);
    if (hasSectionFields(kind, isNotebook))
        size += stringSize(row[SectionTitle]) + stringSize(row[MediaPath]) +
                stringSize(row[MediaName]) + 4;
    return size;
}

void putInt32(char*& out, int32_t value)
{
    const uint32_t v = qToLittleEndian(uint32_t(value));
    std::memcpy(out, &v, 4);
    out += 4;
}

void putString(char*& out, const QString& text)
{
    const qsizetype length = text.size();
    *out++ = '\xFF';
    *out++ = '\xFE';
    *out++ = '\xFF';
    if (length < 0xFF) {
        *out++ = char(length);
    } else if (length < 0xFFFE) {
        *out++ = '\xFF';
        *out++ = char(length & 0xFF);
        *out++ = char((length >> 8) & 0xFF);
    } else {
        *out++ = '\xFF';
        *out++ = '\xFF';
        *out++ = '\xFF';
        putInt32(out, int32_t(uint32_t(length)));
    }
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        std::memcpy(out, text.utf16(), size_t(length) * 2);
    } else {
        const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
        for (qsizetype i = 0; i < length; ++i) {
            out[2 * i] = char(units[i] & 0xFF);
            out[2 * i + 1] = char(units[i] >> 8);
        }
    }
    out += length * 2;
}

void putRecord(char*& out, const SentenceRow& row, int32_t kind, bool isNotebook)
{
    putInt32(out, kind);
    putInt32(out, int32_t(textToUInt(row[StartMs])));
    putInt32(out, int32_t(textToUInt(row[EndMs])));
    putString(out, row[Text]);
    putString(out, row[Text2]);
    putInt32(out, textToInt(row[Done]));
    putInt32(out, textToInt(row[Level]));
    putInt32(out, int32_t(storedTime(row[StudiedAt])));
    if (hasSectionFields(kind, isNotebook)) {
        putString(out, row[SectionTitle]);
        putString(out, row[MediaPath]);
        putString(out, row[MediaName]);
        putInt32(out, int32_t(textToUInt(row[MediaLengthMs])));
    }
}

char* grow(QByteArray& out, qsizetype by)
{
    const qsizetype at = out.size();
    out.resize(at + by);
    return out.data() + at;
}

} // namespace

qint64 encodedRecordSize(const SentenceRow& row, bool isNotebook)
{
    return recordSize(row, textToInt(row[Kind]), isNotebook);
}

qint64 encodedUnitSize(const std::vector<SentenceRow>& rows, bool isNotebook)
{
    qint64 size = kFormatMarkSize + 12 + 4;
    for (const SentenceRow& row : rows)
        size += encodedRecordSize(row, isNotebook);
    return size;
}

QString unitWouldBeTooLargeMessage(const QString& path)
{
    return QStringLiteral("cannot save %1: it would be larger than 64 MB, more than a Unit may "
                          "hold; the file is left as it was")
        .arg(QDir::toNativeSeparators(path));
}

void appendInt32(QByteArray& out, int32_t value)
{
    char* at = grow(out, 4);
    putInt32(at, value);
}

void appendString(QByteArray& out, const QString& text)
{
    char* at = grow(out, stringSize(text));
    putString(at, text);
}

void appendRecord(QByteArray& out, const SentenceRow& row, bool isNotebook)
{
    // The layout follows the kind as it is written, so the file always reads
    // back the way it was meant, whatever odd text the kind field holds.
    const int32_t kind = textToInt(row[Kind]);
    char* at = grow(out, recordSize(row, kind, isNotebook));
    putRecord(at, row, kind, isNotebook);
}

QByteArray encodeUnit(const UnitHeader& header, const std::vector<SentenceRow>& rows,
                      bool isNotebook)
{
    std::vector<int32_t> kinds;
    kinds.reserve(rows.size());
    qsizetype size = kFormatMarkSize + 12 + 4;
    for (const SentenceRow& row : rows) {
        kinds.push_back(textToInt(row[Kind]));
        size += recordSize(row, kinds.back(), isNotebook);
    }
    QByteArray bytes(size, Qt::Uninitialized);
    char* out = bytes.data();
    std::memcpy(out, formatMarkBytes().constData(), kFormatMarkSize);
    out += kFormatMarkSize;
    putInt32(out, header.reviewFrequency);
    uint32_t perDayBits;
    std::memcpy(&perDayBits, &header.newPerDay, sizeof perDayBits);
    putInt32(out, int32_t(perDayBits));
    putInt32(out, header.newPerDayUnit);
    for (size_t i = 0; i < rows.size(); ++i)
        putRecord(out, rows[i], kinds[i], isNotebook);
    putInt32(out, kTerminator);
    Q_ASSERT(out == bytes.data() + bytes.size());
    return bytes;
}

} // namespace dictora
