// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>

namespace dictora {

// A point in time as seconds since 1970-01-01 00:00:00 UTC. Every rule works
// on these and turns them into local dates only through the C library
// (localtime_r / mktime), so the TZ environment decides daylight saving.
using TimeValue = int64_t;

// The stamp that stands for "never studied": 2014-01-01 01:01:01 local time.
inline const QString kDefaultStampText = QStringLiteral("20140101010101");

// Text to time: year from characters 1-4, month 5-6, day 7-8, hour 9-10,
// minute 11-12 and second from the last two characters, each by C-style
// integer conversion; daylight saving decided by the C library. An empty text
// gives 2014-01-01 01:01:01 local time.
TimeValue ParseStamp(const QString& text);

// Time to "%Y%m%d%H%M%S" in local time.
QString FormatStamp(TimeValue time);

// Time to the day stamp "%Y%m%d" in local time.
QString FormatDayStamp(TimeValue time);

// Broken-down local time of the parts the rules look at.
struct LocalClock {
    int year = 0;
    int month = 0; // 1-12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
LocalClock toLocalClock(TimeValue time);

// While one lives on a thread, conversions there do not look TZ up again
// for every stamp: the zone is taken in when the first of them is made and
// must not change until it ends. For long runs of conversions such as
// loading, saving and the start-up scan.
class FixedTimeZoneScope {
public:
    FixedTimeZoneScope();
    ~FixedTimeZoneScope();
    FixedTimeZoneScope(const FixedTimeZoneScope&) = delete;
    FixedTimeZoneScope& operator=(const FixedTimeZoneScope&) = delete;
};

// The local time of year-month-day hour:minute:second (mktime, daylight saving
// decided by the C library; out-of-range parts are normalised as mktime does).
TimeValue fromLocalClock(const LocalClock& clock);

} // namespace dictora
