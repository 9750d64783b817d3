#include "core/study/stamp.h"

#include "core/study/number_text.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace dictora {

namespace {

// mktime and localtime_r take a lock and consult the zone rules on every
// call; a start-up scan makes millions of them for stamps that mostly share an
// hour. Zone changes fall on whole local hours, so the conversion of one local
// hour is remembered and minutes and seconds are added to it. The memory is
// dropped whenever TZ changes.
struct HourMemory {
    std::string zone;
    bool zoneKnown = false;
    // localtime: [utcStart, utcStart + 3600) maps to local hour `clock`.
    bool haveLocal = false;
    TimeValue utcStart = 0;
    LocalClock hourClock;
    // mktime: local (year, month, day, hour) -> time of hh:00:00.
    bool haveMk = false;
    int mkYear = 0, mkMonth = 0, mkDay = 0, mkHour = 0;
    TimeValue mkStart = 0;
};

HourMemory& memory()
{
    thread_local HourMemory m;
    const char* zone = std::getenv("TZ");
    const bool known = zone != nullptr;
    if (known != m.zoneKnown || (known && m.zone != zone)) {
        m.zoneKnown = known;
        m.zone = known ? zone : "";
        m.haveLocal = m.haveMk = false;
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

LocalClock toLocalClock(TimeValue time)
{
    HourMemory& m = memory();
    if (m.haveLocal && time >= m.utcStart && time < m.utcStart + 3600) {
        LocalClock clock = m.hourClock;
        const int into = int(time - m.utcStart);
        clock.minute = into / 60;
        clock.second = into % 60;
        return clock;
    }
    const std::time_t t = std::time_t(time);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return {1970, 1, 1, 0, 0, 0};
    const LocalClock clock = clockOf(tm);
    // Leap seconds and odd zones: remember only plain hours.
    if (inRange(clock.second, 0, 59)) {
        m.haveLocal = true;
        m.utcStart = time - clock.minute * 60 - clock.second;
        m.hourClock = clock;
    }
    return clock;
}

TimeValue fromLocalClock(const LocalClock& c)
{
    // Only in-range parts can share an hour's conversion; anything else is
    // normalised by mktime itself.
    if (!inRange(c.month, 1, 12) || !inRange(c.day, 1, 28) || !inRange(c.hour, 0, 23) ||
        !inRange(c.minute, 0, 59) || !inRange(c.second, 0, 59))
        return mktimeOf(c.year, c.month, c.day, c.hour, c.minute, c.second);
    HourMemory& m = memory();
    if (!(m.haveMk && m.mkYear == c.year && m.mkMonth == c.month && m.mkDay == c.day &&
          m.mkHour == c.hour)) {
        // Ask for the hour's middle so that the hour that begins or ends a
        // daylight-saving change is resolved the way mktime resolves the
        // minutes inside it, then go back to its start.
        const TimeValue middle = mktimeOf(c.year, c.month, c.day, c.hour, 30, 0);
        m.haveMk = true;
        m.mkYear = c.year;
        m.mkMonth = c.month;
        m.mkDay = c.day;
        m.mkHour = c.hour;
        m.mkStart = middle - 30 * 60;
    }
    return m.mkStart + c.minute * 60 + c.second;
}

TimeValue ParseStamp(const QString& text)
{
    if (text.isEmpty())
        return fromLocalClock({2014, 1, 1, 1, 1, 1});
    LocalClock c;
    c.year = textToInt(text.mid(0, 4));
    c.month = textToInt(text.mid(4, 2));
    c.day = textToInt(text.mid(6, 2));
    c.hour = textToInt(text.mid(8, 2));
    c.minute = textToInt(text.mid(10, 2));
    c.second = textToInt(text.right(2));
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
