// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/unit_scan.h"

#include "core/study/daily_review.h"
#include "core/study/unit_file.h"

#include <QtEndian>

#include <cstring>
#include <vector>

namespace dictora {

namespace {

// Reads forward over the bytes; every read checks the bytes are there.
class Cursor {
public:
    explicit Cursor(QByteArrayView bytes)
        : at_(reinterpret_cast<const uint8_t*>(bytes.data())), end_(at_ + bytes.size())
    {
    }
    bool atEnd() const { return at_ == end_; }

    // A little-endian number as wide as T.
    template <typename T> bool number(T& value)
    {
        if (size_t(end_ - at_) < sizeof(T))
            return false;
        value = qFromLittleEndian<T>(at_);
        at_ += sizeof(T);
        return true;
    }
    bool u32(uint32_t& value) { return number(value); }
    bool i32(int32_t& value) { return number(value); }
    bool skip(size_t count)
    {
        if (size_t(end_ - at_) < count)
            return false;
        at_ += count;
        return true;
    }
    // A string exactly as the writer writes it: FF, FFFE, then the length
    // in its shortest form (one byte below FF; FF and 16 bits below FFFE;
    // FF, FFFF and 32 bits), then the UTF-16 code units. Anything else
    // (the 8-bit form, a longer length form) would be rewritten differently.
    bool string(uint32_t& length)
    {
        if (end_ - at_ < 4 || at_[0] != 0xFF || at_[1] != 0xFE || at_[2] != 0xFF)
            return false;
        if (at_[3] < 0xFF) {
            length = at_[3];
            at_ += 4;
        } else {
            if (end_ - at_ < 6)
                return false;
            const uint32_t middle = uint32_t(at_[4]) | uint32_t(at_[5]) << 8;
            if (middle == 0xFFFF) {
                at_ += 6;
                if (!u32(length) || length < 0xFFFE)
                    return false;
            } else {
                if (middle < 0xFF || middle == 0xFFFE)
                    return false;
                length = middle;
                at_ += 6;
            }
        }
        return skip(size_t(length) * 2);
    }

private:
    const uint8_t* at_;
    const uint8_t* end_;
};

// What the counting needs of a row, and what the endMs fill looks at.
struct RowFacts {
    int32_t kind;
    int32_t done;
    int32_t level;
    uint32_t startMs;
    uint32_t endMs;
    uint32_t textLength;
    bool studiedToday;
};

bool sameDay(const LocalClock& a, const LocalClock& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

} // namespace

std::optional<ProgressFigures> unchangedUnitFigures(QByteArrayView bytes, bool isNotebook,
                                                    TimeValue now, const StudyTotals& totals)
{
    if (bytes.size() < kFormatMarkSize + 12 + 4 ||
        std::memcmp(bytes.data(), formatMarkBytes().constData(), kFormatMarkSize) != 0)
        return std::nullopt;
    Cursor in(bytes);
    in.skip(kFormatMarkSize);
    UnitHeader header;
    uint32_t perDayBits;
    in.i32(header.reviewFrequency);
    in.u32(perDayBits);
    in.i32(header.newPerDayUnit);
    std::memcpy(&header.newPerDay, &perDayBits, sizeof perDayBits);

    const LocalClock today = toLocalClock(now);
    std::vector<RowFacts> rows;
    // No record is shorter than 30 bytes.
    rows.reserve(size_t(bytes.size() / 30));
    for (;;) {
        RowFacts row;
        if (!in.i32(row.kind))
            return std::nullopt; // no terminator
        if (row.kind == kTerminator)
            break;
        uint32_t text2Length, studiedAt;
        if (!in.u32(row.startMs) || !in.u32(row.endMs) || !in.string(row.textLength) ||
            !in.string(text2Length) || !in.i32(row.done) || !in.i32(row.level) ||
            !in.u32(studiedAt))
            return std::nullopt;
        if (hasSectionFields(row.kind, isNotebook)) {
            uint32_t length, mediaLengthMs;
            if (!in.string(length) || !in.string(length) || !in.string(length) ||
                !in.u32(mediaLengthMs))
                return std::nullopt;
        }
        if (row.kind > 0) {
            ReviewFields fields{row.done, row.level, TimeValue(studiedAt)};
            DailyReview(fields, header.reviewFrequency, now);
            if (fields.done != row.done || fields.level != row.level ||
                fields.studiedAt != TimeValue(studiedAt))
                return std::nullopt;
        }
        // The stamp goes through local time as text and back; a time that
        // does not come back (the repeated hour when clocks go back) is
        // written differently.
        const LocalClock studied = toLocalClock(TimeValue(studiedAt));
        if (fromLocalClock(studied) != TimeValue(studiedAt))
            return std::nullopt;
        row.studiedToday = sameDay(studied, today);
        rows.push_back(row);
    }
    if (!in.atEnd())
        return std::nullopt; // bytes after the terminator

    const int count = int(rows.size());
    std::vector<int> nextTitle(size_t(count), count);
    for (int r = count - 1, following = count; r >= 0; --r) {
        nextTitle[size_t(r)] = following;
        if (rows[size_t(r)].kind == 0)
            following = r;
    }
    ProgressCounter counter(header, count);
    for (int r = 0; r < count; ++r) {
        const RowFacts& row = rows[size_t(r)];
        if (row.kind == 0) {
            counter.titleRow(r, nextTitle[size_t(r)]);
            continue;
        }
        // The pass fills an endMs of 0 (or one that reads as negative) from
        // the next sentence's start; a sentence is any row but a title row,
        // whatever its kind.
        if (!isNotebook && int32_t(row.endMs) <= 0 && r + 1 < count &&
            rows[size_t(r) + 1].kind != 0 && rows[size_t(r) + 1].startMs != row.endMs)
            return std::nullopt;
        counter.sentenceRow(r, row.done, row.level, row.textLength, row.studiedToday);
    }
    return counter.finish(totals);
}

} // namespace dictora
