// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/unit_file.h"

#include "core/study/legacy_text.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cstring>

namespace dictora {

namespace {

// Reads little-endian values through a 4096-byte buffer, strictly forward.
// Every read either delivers all the bytes it asked for or marks the source
// as failed; nothing is ever allocated from a length field ahead of the data.
class ByteReader {
public:
    explicit ByteReader(QIODevice& in) : in_(in) {}

    bool failed() const { return failed_; }
    qint64 offset() const { return consumed_; }
    // Counts the bytes not yet read, for a device that cannot tell its size.
    qint64 remaining()
    {
        qint64 count = end_ - pos_;
        pos_ = end_;
        while (refill()) {
            count += end_ - pos_;
            pos_ = end_;
        }
        return count;
    }

    bool bytes(char* out, qint64 count)
    {
        while (count > 0) {
            if (pos_ == end_ && !refill())
                return false;
            const qint64 take = std::min<qint64>(count, end_ - pos_);
            std::memcpy(out, buffer_ + pos_, size_t(take));
            pos_ += take;
            consumed_ += take;
            out += take;
            count -= take;
        }
        return true;
    }
    // A little-endian number as wide as T.
    template <typename T> bool number(T& value)
    {
        unsigned char b[sizeof(T)];
        if (!bytes(reinterpret_cast<char*>(b), qint64(sizeof(T))))
            return false;
        value = qFromLittleEndian<T>(b);
        return true;
    }
    bool u8(uint8_t& value) { return number(value); }
    bool u16(uint16_t& value) { return number(value); }
    bool u32(uint32_t& value) { return number(value); }
    bool i32(int32_t& value) { return number(value); }

    // A string in the 16-bit form (FF FFFE, length, UTF-16LE code units) or
    // the older 8-bit form (length, bytes in the ANSI code page). The text
    // grows only as its bytes arrive, so a hostile length costs nothing.
    bool string(QString& text)
    {
        bool wide = false;
        uint32_t length = 0;
        if (!stringLength(wide, length))
            return false;
        if (wide) {
            // Most strings lie within the buffer already: one copy.
            if (end_ - pos_ >= qint64(length) * 2) {
                text = QString(qsizetype(length), Qt::Uninitialized);
                std::memcpy(text.data(), buffer_ + pos_, size_t(length) * 2);
                if constexpr (Q_BYTE_ORDER != Q_LITTLE_ENDIAN) {
                    for (QChar& unit : text)
                        unit = QChar(qFromLittleEndian(unit.unicode()));
                }
                pos_ += qint64(length) * 2;
                consumed_ += qint64(length) * 2;
                return true;
            }
            text.clear();
            uint32_t left = length;
            char16_t chunk[1024];
            while (left > 0) {
                const uint32_t take = std::min<uint32_t>(left, 1024);
                if (!bytes(reinterpret_cast<char*>(chunk), qint64(take) * 2))
                    return false;
                for (uint32_t i = 0; i < take; ++i)
                    chunk[i] = char16_t(qFromLittleEndian(uint16_t(chunk[i])));
                text.append(reinterpret_cast<const QChar*>(chunk), qsizetype(take));
                left -= take;
            }
            return true;
        }
        QByteArray raw;
        uint32_t left = length;
        char chunk[4096];
        while (left > 0) {
            const uint32_t take = std::min<uint32_t>(left, sizeof chunk);
            if (!bytes(chunk, take))
                return false;
            raw.append(chunk, qsizetype(take));
            left -= take;
        }
        text = decodeAnsiText(raw);
        return true;
    }

private:
    // Length prefix: a byte below FF; else a 16-bit value, where FFFE marks a
    // 16-bit string whose length follows by the same rules, FFFF announces a
    // 32-bit length, and anything else is the length.
    bool stringLength(bool& wide, uint32_t& length)
    {
        for (;;) {
            uint8_t small;
            if (!u8(small))
                return false;
            if (small < 0xFF) {
                length = small;
                return true;
            }
            uint16_t middle;
            if (!u16(middle))
                return false;
            if (middle == 0xFFFE) {
                wide = true;
                continue;
            }
            if (middle == 0xFFFF)
                return u32(length);
            length = middle;
            return true;
        }
    }

    bool refill()
    {
        if (failed_)
            return false;
        const qint64 got = in_.read(buffer_, sizeof buffer_);
        if (got <= 0) {
            failed_ = true;
            return false;
        }
        pos_ = 0;
        end_ = got;
        return true;
    }

    QIODevice& in_;
    char buffer_[4096];
    qint64 pos_ = 0;
    qint64 end_ = 0;
    qint64 consumed_ = 0;
    bool failed_ = false;
};

// Small numbers recur in almost every row; sharing their text saves an
// allocation per field.
QString numberText(int64_t value)
{
    static const QString small[] = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                    QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                                    QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
                                    QStringLiteral("9")};
    if (value >= 0 && value <= 9)
        return small[value];
    return QString::number(value);
}

bool readRecord(ByteReader& in, int32_t kind, bool isNotebook, const UnitHeader& header,
                const RowReview& review, SentenceRow& row)
{
    uint32_t startMs, endMs, studiedAt;
    int32_t done, level;
    QString text, text2;
    if (!in.u32(startMs) || !in.u32(endMs) || !in.string(text) || !in.string(text2) ||
        !in.i32(done) || !in.i32(level) || !in.u32(studiedAt))
        return false;
    if (hasSectionFields(kind, isNotebook)) {
        uint32_t mediaLengthMs;
        if (!in.string(row[SectionTitle]) || !in.string(row[MediaPath]) ||
            !in.string(row[MediaName]) || !in.u32(mediaLengthMs))
            return false;
        row[MediaLengthMs] = numberText(mediaLengthMs);
    }
    // The file holds an unsigned 32-bit count of seconds: dates run to 2106.
    ReviewFields fields{done, level, TimeValue(studiedAt)};
    if (kind > 0 && review)
        review(fields, header);
    row[Kind] = numberText(kind);
    row[StartMs] = numberText(startMs);
    row[EndMs] = numberText(endMs);
    row[Text] = std::move(text);
    row[Text2] = std::move(text2);
    row[Done] = numberText(fields.done);
    row[Level] = numberText(fields.level);
    row[StudiedAt] = FormatStamp(fields.studiedAt);
    return true;
}

} // namespace

QByteArray formatMarkBytes()
{
    static const QByteArray mark("\x51\x6B\x9A\x77\x9C\x22\x09\x40", kFormatMarkSize);
    return mark;
}

bool hasFormatMark(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(kFormatMarkSize) == formatMarkBytes();
}

UnitReadResult readUnit(QIODevice& device, bool isNotebook, const RowReview& review)
{
    UnitReadResult result;
    result.opened = true;
    ByteReader in(device);
    char mark[kFormatMarkSize];
    UnitHeader header;
    uint32_t perDayBits;
    if (!in.bytes(mark, kFormatMarkSize) || !in.i32(header.reviewFrequency) ||
        !in.u32(perDayBits) || !in.i32(header.newPerDayUnit)) {
        result.dataSize = device.isSequential() ? in.offset() : device.size();
        return result;
    }
    std::memcpy(&header.newPerDay, &perDayBits, sizeof perDayBits);
    result.header = header;
    result.headerRead = true;
    result.markMatches = std::memcmp(mark, formatMarkBytes().constData(), kFormatMarkSize) == 0;
    // No record is shorter than 30 bytes, so the size bounds the row count.
    if (!device.isSequential() && device.size() > 0)
        result.rows.reserve(size_t(std::min<qint64>(device.size() / 30, 1 << 16)));
    result.recordsEnd = in.offset();
    for (;;) {
        int32_t kind;
        if (!in.i32(kind))
            break;
        if (kind == kTerminator) {
            result.terminated = true;
            break;
        }
        SentenceRow row;
        if (!readRecord(in, kind, isNotebook, header, review, row))
            break;
        result.rows.push_back(std::move(row));
        result.recordsEnd = in.offset();
    }
    result.dataSize = device.isSequential() ? in.offset() + in.remaining() : device.size();
    return result;
}

UnitReadResult readUnitFile(const QString& path, bool isNotebook, const RowReview& review)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        UnitReadResult unopened;
        unopened.openError = file.errorString();
        return unopened;
    }
    if (file.size() > kUnitFileSizeLimit) {
        UnitReadResult refused;
        refused.opened = true;
        refused.tooLarge = true;
        refused.dataSize = file.size();
        return refused;
    }
    return readUnit(file, isNotebook, review);
}

QString unitTooLargeMessage(const QString& path)
{
    return QStringLiteral("%1 is larger than 64 MB, far beyond any Unit; it is not read and is "
                          "left as it is")
        .arg(QDir::toNativeSeparators(path));
}

RowReview dailyReviewAsOf(TimeValue now)
{
    return [now](ReviewFields& fields, const UnitHeader& header) {
        DailyReview(fields, header.reviewFrequency, now);
    };
}

UnitHeader loadedHeader(const UnitReadResult& read, bool isNotebook)
{
    return read.headerRead ? read.header : isNotebook ? kNotebookHeader : kNewUnitHeader;
}

} // namespace dictora
