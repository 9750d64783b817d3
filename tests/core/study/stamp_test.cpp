// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/daily_review.h"
#include "core/study/stamp.h"

#include "study_fixtures.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <ctime>
#include <optional>

using namespace dictora;
using namespace dictora::test;

namespace {

// The C library's own answers, to hold the remembered conversions against.
QString libcStamp(TimeValue time)
{
    const std::time_t t = std::time_t(time);
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &tm);
    return QString::fromLatin1(text);
}

TimeValue libcTime(int y, int mo, int d, int h, int mi, int s)
{
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

// Seconds since the epoch of a UTC date and time.
TimeValue utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC).toSecsSinceEpoch();
}

} // namespace

TEST(Stamp, EmptyStampIsTheDefaultAndPartsAreReadByPosition)
{
    ScopedTimeZone zone("Asia/Shanghai");
    EXPECT_EQ(ParseStamp(""), utc(2013, 12, 31, 17, 1, 1));
    EXPECT_EQ(FormatStamp(ParseStamp("")), kDefaultStampText);
    EXPECT_EQ(FormatStamp(utc(2026, 7, 1, 16, 30, 5)), "20260702003005");
    EXPECT_EQ(FormatDayStamp(utc(2026, 7, 1, 16, 30, 5)), "20260702");
    // Seconds come from the last two characters, whatever the length.
    EXPECT_EQ(FormatStamp(ParseStamp("2025010112305")), "20250101123005");
}

TEST(Stamp, FollowsTheZoneInForceAcrossDaylightSavingChanges)
{
    {
        ScopedTimeZone zone("Asia/Shanghai");
        EXPECT_EQ(ParseStamp("20260115120000"), utc(2026, 1, 15, 4, 0, 0));
    }
    ScopedTimeZone zone("Europe/Berlin");
    EXPECT_EQ(ParseStamp("20260115120000"), utc(2026, 1, 15, 11, 0, 0));
    EXPECT_EQ(ParseStamp("20260715120000"), utc(2026, 7, 15, 10, 0, 0));

    // Every minute through both change days agrees with the C library, in
    // both directions, however the conversions are remembered.
    for (const TimeValue dayStart : {utc(2026, 3, 28, 22, 0, 0), utc(2026, 10, 24, 22, 0, 0)}) {
        for (TimeValue t = dayStart; t < dayStart + 86400; t += 59) {
            ASSERT_EQ(FormatStamp(t), libcStamp(t)) << t;
        }
        for (int minute = 0; minute < 24 * 60; minute += 7) {
            const int h = minute / 60, m = minute % 60;
            const QDate day = QDateTime::fromSecsSinceEpoch(dayStart + 7200, Qt::UTC).date();
            const QString text = QString::asprintf("%04d%02d%02d%02d%02d%02d", day.year(),
                                                   day.month(), day.day(), h, m, 30);
            ASSERT_EQ(ParseStamp(text), libcTime(day.year(), day.month(), day.day(), h, m, 30))
                << text.toStdString();
        }
    }
}

TEST(ElapsedDays, CountsWholeDaysFromOneMinutePastOneOnTheDayStudied)
{
    ScopedTimeZone zone("Asia/Shanghai");
    const TimeValue studied = at("20260510220000");
    EXPECT_EQ(elapsedDays(studied, at("20260510235959")), 0);
    EXPECT_EQ(elapsedDays(studied, at("20260511003000")), 0); // before 01:01:01
    EXPECT_EQ(elapsedDays(studied, at("20260511010101")), 1);
    EXPECT_EQ(elapsedDays(studied, at("20260520010100")), 9);
    EXPECT_EQ(elapsedDays(studied, at("20260509120000")), 0); // future: toward zero
    EXPECT_EQ(elapsedDays(studied, at("20260507120000")), -2);
}

TEST(ElapsedDays, DaylightSavingDaysCountRealSeconds)
{
    ScopedTimeZone zone("Europe/Berlin");
    // Spring: 2026-03-29 02:00 CET becomes 03:00 CEST. The day studied
    // begins (01:01:01) in winter time, so its start is 00:01:01 UTC.
    const TimeValue march = at("20260328100000");
    EXPECT_EQ(elapsedDays(march, at("20260329120000")), 1);
    EXPECT_EQ(elapsedDays(march, at("20260330013000")), 1); // 47 h 29 min
    EXPECT_EQ(elapsedDays(march, at("20260330020101")), 2); // 48 h
    EXPECT_EQ(elapsedDays(march, utc(2026, 3, 30, 0, 1, 0)), 1);
    // Autumn: 2026-10-25 03:00 CEST becomes 02:00 CET; the day is 25 hours.
    const TimeValue october = at("20261024200000");
    EXPECT_EQ(elapsedDays(october, at("20261025010100")), 0);
    EXPECT_EQ(elapsedDays(october, at("20261025010101")), 1);
    EXPECT_EQ(elapsedDays(october, at("20261026000101")), 2); // 48 h after 23:01:01 UTC
    EXPECT_EQ(elapsedDays(october, at("20261026000100")), 1);
    // Studied on the short day itself: its 01:01:01 is still winter time.
    EXPECT_EQ(elapsedDays(at("20260329180000"), at("20260330010101")), 0);
    EXPECT_EQ(elapsedDays(at("20260329180000"), at("20260330020101")), 1);
}

TEST(Stamps, AfterAFixedTimeZoneScopeAChangedZoneIsSeen)
{
    ScopedTimeZone shanghai("Asia/Shanghai");
    const TimeValue noonUtc = utc(2026, 6, 15, 12, 0, 0);
    std::optional<ScopedTimeZone> berlin;
    {
        const FixedTimeZoneScope fixed;
        EXPECT_EQ(FormatStamp(noonUtc), "20260615200000");
        EXPECT_EQ(ParseStamp("20260615200000"), noonUtc);
    }
    berlin.emplace("Europe/Berlin");
    {
        const FixedTimeZoneScope fixed; // remembered conversions of the old zone are gone
        EXPECT_EQ(FormatStamp(noonUtc), "20260615140000");
        EXPECT_EQ(ParseStamp("20260615140000"), noonUtc);
    }
}
