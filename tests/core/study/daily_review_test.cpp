// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/daily_review.h"

#include "study_fixtures.h"

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

constexpr TimeValue kDay = 86400;

class DailyReviewTest : public ::testing::Test {
protected:
    ScopedTimeZone zone{"Asia/Shanghai"};
    // A quarter past three in the afternoon: past 01:01:01, so d days ago at
    // the same clock time is exactly d elapsed days.
    const TimeValue now = at("20260615151500");

    ReviewFields reviewed(int32_t frequency, int32_t level, int64_t daysAgo, int32_t done = 1)
    {
        ReviewFields fields{done, level, now - daysAgo * kDay};
        DailyReview(fields, frequency, now);
        return fields;
    }
    void expectRests(int32_t frequency, int32_t level, int64_t daysAgo)
    {
        const ReviewFields f = reviewed(frequency, level, daysAgo, 0);
        EXPECT_EQ(f.done, 1) << "frequency " << frequency << " level " << level << " d " << daysAgo;
        EXPECT_EQ(f.level, level);
        EXPECT_EQ(f.studiedAt, now - daysAgo * kDay);
    }
    void expectDue(int32_t frequency, int32_t level, int64_t daysAgo)
    {
        const ReviewFields f = reviewed(frequency, level, daysAgo);
        EXPECT_EQ(f.done, 0) << "frequency " << frequency << " level " << level << " d " << daysAgo;
        EXPECT_EQ(f.level, level);
        EXPECT_EQ(f.studiedAt, now - daysAgo * kDay);
    }
    void expectDemoted(int32_t frequency, int32_t level, int64_t daysAgo, int64_t setBack)
    {
        const ReviewFields f = reviewed(frequency, level, daysAgo);
        EXPECT_EQ(f.done, 0) << "frequency " << frequency << " level " << level << " d " << daysAgo;
        EXPECT_EQ(f.level, level - 1);
        EXPECT_EQ(f.studiedAt, now - setBack * kDay);
        // Set back so that it is due at once under its new level (level 0 is
        // never reviewed, and levels above 11 share the row of 11).
        if (f.level <= 0 || (frequency == 1 && level > 11))
            return;
        ReviewFields again = f;
        again.done = 1;
        DailyReview(again, frequency, now);
        EXPECT_EQ(again.done, 0);
        EXPECT_EQ(again.level, f.level);
    }
};

} // namespace

TEST_F(DailyReviewTest, SparseScheduleRestsUpToAYearAndDropsOneLevelPerPeriod)
{
    expectRests(1, 11, 360);
    expectDue(1, 11, 361);
    expectDue(1, 11, 400); // (400 - 360) / 360 is 0
    expectDue(1, 11, 719);
    expectDemoted(1, 11, 720, 271);
    expectDemoted(1, 15, 720, 271); // above 11 counts as 11
    expectRests(1, 4, 15);
    expectDue(1, 4, 30);
    expectDue(1, 4, 32);
    expectDemoted(1, 4, 33, 8); // (33 - 15) / 18 = 1
    expectDemoted(1, 4, 40, 8);
    expectRests(1, 2, 3);
    expectDue(1, 2, 8);
    expectDemoted(1, 2, 9, 2);
    expectRests(1, 10, 270);
    expectDemoted(1, 10, 540, 181);
}

TEST_F(DailyReviewTest, SparseLevelOneRestsADayThenDropsAfterFive)
{
    expectRests(1, 1, 0);
    expectDue(1, 1, 1);
    expectDue(1, 1, 4);
    const ReviewFields f = reviewed(1, 1, 5);
    EXPECT_EQ(f.level, 0);
    EXPECT_EQ(f.done, 0);
    EXPECT_EQ(f.studiedAt, now - kDay);
}

TEST_F(DailyReviewTest, NormalScheduleGrowsOneDayPerLevel)
{
    expectRests(2, 5, 3);
    expectDue(2, 5, 4);
    expectDue(2, 5, 7);
    expectDemoted(2, 5, 8, 3);
    expectRests(2, 3, 1);
    expectDue(2, 3, 2);
    expectDemoted(2, 3, 4, 1); // new level 2: one day back
    expectRests(2, 2, 0);
    expectDue(2, 2, 1);
    expectDue(2, 2, 3);
    expectDemoted(2, 2, 4, 1);
    expectDemoted(2, 1, 4, 1);
    expectRests(2, 20, 18);
    expectDemoted(2, 20, 38, 18);
}

TEST_F(DailyReviewTest, IntenseScheduleReviewsTheSameDayAcrossNoon)
{
    // Studied at 09:00: rests in the morning half, due in the afternoon.
    const TimeValue nine = at("20260615090000");
    ReviewFields morning{1, 2, nine};
    DailyReview(morning, 3, at("20260615110000"));
    EXPECT_EQ(morning.done, 1);
    morning.done = 0;
    DailyReview(morning, 3, at("20260615125959"));
    EXPECT_EQ(morning.done, 1);
    ReviewFields afternoon{1, 2, nine};
    DailyReview(afternoon, 3, at("20260615140000"));
    EXPECT_EQ(afternoon.done, 0);
    // Studied at 14:00: rests through the evening; after midnight, still
    // within the same day count, the morning half makes it due.
    ReviewFields late{0, 7, at("20260615140000")};
    DailyReview(late, 3, at("20260615235959"));
    EXPECT_EQ(late.done, 1);
    ReviewFields early{1, 7, at("20260615140000")};
    DailyReview(early, 3, at("20260616005900"));
    EXPECT_EQ(early.done, 0); // same day count, other half
}

TEST_F(DailyReviewTest, IntenseScheduleAfterTheFirstDay)
{
    expectDue(3, 1, 1);
    expectDue(3, 5, 2);
    expectDemoted(3, 5, 3, 1);
    expectRests(3, 8, 2); // H = 2, P = 4
    expectDue(3, 8, 3);
    expectDue(3, 8, 5);
    expectDemoted(3, 8, 6, 2); // new level 7: (7 - 4) / 2 + 1
    expectRests(3, 6, 1);      // H = 1, P = 3
    expectDemoted(3, 6, 4, 1); // new level 5: one day
    expectRests(3, 13, 4);
    expectDemoted(3, 13, 10, 5);
}

TEST_F(DailyReviewTest, NewSentencesAndUnknownSchedulesAreLeftAsRead)
{
    for (const int32_t frequency : {1, 2, 3}) {
        for (const int32_t done : {0, 1}) {
            ReviewFields fresh{done, 0, now - 900 * kDay};
            DailyReview(fresh, frequency, now);
            EXPECT_EQ(fresh.done, done);
            EXPECT_EQ(fresh.level, 0);
            EXPECT_EQ(fresh.studiedAt, now - 900 * kDay);
        }
        ReviewFields negative{1, -3, now - 900 * kDay};
        DailyReview(negative, frequency, now);
        EXPECT_EQ(negative.level, -3);
        EXPECT_EQ(negative.done, 1);
    }
    for (const int32_t frequency : {0, 4, -1}) {
        ReviewFields old{1, 5, now - 900 * kDay};
        DailyReview(old, frequency, now);
        EXPECT_EQ(old.done, 1);
        EXPECT_EQ(old.level, 5);
    }
}
