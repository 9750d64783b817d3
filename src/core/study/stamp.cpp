// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/stamp.h"

#include "core/study/number_text.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace dictora {

namespace {

// mktime and localtime_r take a lock and consult the zone rules on every
// call, and with TZ unset glibc's mktime even checks /etc/localtime with a
// stat; a start-up scan makes millions of them. Every zone's offset is a
// multiple of 15 minutes and changes only on such a boundary, so conversions
// are remembered per quarter hour (local time) and per local hour (mktime),
// and minutes and seconds are added. Everything is forgotten when TZ changes.
constexpr int kSlots = 4096;

struct QuarterEntry {
    int64_t quarter = INT64_MIN; // time / 900
    LocalClock clock;            // local time at quarter * 900
};

struct HourEntry {
    int64_t key = INT64_MIN; // year, month, day, hour packed
    TimeValue start = 0;     // time of hh:00:00
};

struct ConversionMemory {
    std::string zone;
    bool zoneKnown = false;
    QuarterEntry quarters[kSlots];
    HourEntry hours[kSlots];

    void forget()
    {
        for (QuarterEntry& entry : quarters)
            entry.quarter = INT64_MIN;
        for (HourEntry& entry : hours)
            entry.key = INT64_MIN;
    }
};

// How many FixedTimeZoneScope objects live on this thread.
thread_local int fixedZoneScopes = 0;

ConversionMemory& memory()
{
    thread_local ConversionMemory m;
    // getenv walks the whole environment; with millions of conversions in
    // a scan that was a quarter of its time.
    if (fixedZoneScopes > 0)
        return m;
    const char* zone = std::getenv("TZ");
    const bool known = zone != nullptr;
    if (known != m.zoneKnown || (known && m.zone != zone)) {
        m.zoneKnown = known;
        m.zone = known ? zone : "";
        m.forget();
    }
    return m;
}

LocalClock clockOf(const std::tm& tm)
{
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

TimeValue mktimeOf(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return TimeValue(std::mktime(&tm));
}

bool inRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

void appendDigits(QChar*& out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = QChar(u'0' + value % 10);
        value /= 10;
    }
    out += width;
}

} // namespace

FixedTimeZoneScope::FixedTimeZoneScope()
{
    if (fixedZoneScopes == 0)
        memory(); // takes in the zone as it is now
    ++fixedZoneScopes;
}

FixedTimeZoneScope::~FixedTimeZoneScope()
{
    --fixedZoneScopes;
}

LocalClock toLocalClock(TimeValue time)
{
    ConversionMemory& m = memory();
    const int64_t quarter = time >= 0 ? time / 900 : (time - 899) / 900;
    QuarterEntry& entry = m.quarters[size_t(uint64_t(quarter) % kSlots)];
    if (entry.quarter != quarter) {
        const std::time_t t = std::time_t(quarter * 900);
        std::tm tm{};
        if (!localtime_r(&t, &tm))
            return {1970, 1, 1, 0, 0, 0};
        entry.quarter = quarter;
        entry.clock = clockOf(tm);
    }
    const int into = int(time - quarter * 900);
    LocalClock clock = entry.clock;
    const int seconds = clock.minute * 60 + clock.second + into;
    if (clock.second != 0 || seconds >= 3600) {
        // Not on a quarter-hour boundary (an odd historical offset): ask.
        const std::time_t t = std::time_t(time);
        std::tm tm{};
        return localtime_r(&t, &tm) ? clockOf(tm) : LocalClock{1970, 1, 1, 0, 0, 0};
    }
    clock.minute = seconds / 60;
    clock.second = seconds % 60;
    return clock;
}

TimeValue fromLocalClock(const LocalClock& c)
{
    // Only in-range parts can share an hour's conversion; anything else is
    // normalised by mktime itself.
    if (!inRange(c.year, 1, 9999) || !inRange(c.month, 1, 12) || !inRange(c.day, 1, 28) ||
        !inRange(c.hour, 0, 23) || !inRange(c.minute, 0, 59) || !inRange(c.second, 0, 59))
        return mktimeOf(c.year, c.month, c.day, c.hour, c.minute, c.second);
    ConversionMemory& m = memory();
    const int64_t key = ((int64_t(c.year) * 16 + c.month) * 32 + c.day) * 32 + c.hour;
    HourEntry& entry = m.hours[size_t(uint64_t(key * 2654435761u) % kSlots)];
    if (entry.key != key) {
        // Ask for the hour's middle so that the hour that begins or ends a
        // daylight-saving change is resolved the way mktime resolves the
        // minutes inside it, then go back to its start.
        entry.key = key;
        entry.start = mktimeOf(c.year, c.month, c.day, c.hour, 30, 0) - 30 * 60;
    }
    return entry.start + c.minute * 60 + c.second;
}

TimeValue ParseStamp(const QString& text)
{
    if (text.isEmpty())
        return fromLocalClock({2014, 1, 1, 1, 1, 1});
    const QStringView view(text);
    const auto part = [&view](qsizetype from, qsizetype length) {
        return from >= view.size() ? QStringView() : view.mid(from, length);
    };
    LocalClock c;
    c.year = textToInt(part(0, 4));
    c.month = textToInt(part(4, 2));
    c.day = textToInt(part(6, 2));
    c.hour = textToInt(part(8, 2));
    c.minute = textToInt(part(10, 2));
    c.second = textToInt(view.right(2));
    return fromLocalClock(c);
}

QString FormatStamp(TimeValue time)
{
    const LocalClock c = toLocalClock(time);
    if (!inRange(c.year, 0, 9999))
        return QString::asprintf("%04d%02d%02d%02d%02d%02d", c.year, c.month, c.day, c.hour,
                                 c.minute, c.second);
    QString text(14, Qt::Uninitialized);
    QChar* out = text.data();
    appendDigits(out, c.year, 4);
    appendDigits(out, c.month, 2);
    appendDigits(out, c.day, 2);
    appendDigits(out, c.hour, 2);
    appendDigits(out, c.minute, 2);
    appendDigits(out, c.second, 2);
    return text;
}

QString FormatDayStamp(TimeValue time)
{
    return FormatStamp(time).left(8);
}

} // namespace dictora
