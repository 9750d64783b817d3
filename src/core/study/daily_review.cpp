// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/daily_review.h"

namespace dictora {

namespace {

constexpr int64_t kDay = 86400;

// Schedule 1 for levels 2 to 11: days a sentence rests (T), the period after
// which an overdue sentence drops a level (Q), and how far back a demoted
// sentence is set (the next lower level's T plus one, so it is due at once).
struct SparseStep {
    int threshold;
    int divisor;
    int setBack;
};
constexpr SparseStep kSparseSteps[] = {
    {0, 0, 0},    {0, 0, 0},    {3, 6, 2},    {7, 10, 4},     {15, 18, 8},     {30, 30, 16},
    {45, 45, 31}, {60, 60, 46}, {90, 90, 61}, {180, 180, 91}, {270, 270, 181}, {360, 360, 271},
};

bool inAfternoon(TimeValue time)
{
    return toLocalClock(time).hour >= 13;
}

void demote(ReviewFields& f, int64_t setBackDays, TimeValue now)
{
    f.level -= 1;
    f.studiedAt = now - setBackDays * kDay;
    f.done = 0;
}

// Levels 1 (and 2 under the normal schedule): one day of rest, then due; an
// overdue sentence drops a level every `period` days beyond the first.
void reviewLowLevel(ReviewFields& f, int64_t d, int64_t period, TimeValue now)
{
    if (d < 1)
        f.done = 1;
    else if (d == 1)
        f.done = 0;
    else if ((d - 1) / period >= 1)
        demote(f, 1, now);
    else
        f.done = 0;
}

void reviewSparse(ReviewFields& f, int64_t d, TimeValue now)
{
    if (f.level == 1) {
        reviewLowLevel(f, d, 4, now);
        return;
    }
    const SparseStep& step = kSparseSteps[f.level > 11 ? 11 : f.level];
    if (d <= step.threshold)
        f.done = 1;
    else if ((d - step.threshold) / step.divisor >= 1)
        demote(f, step.setBack, now);
    else
        f.done = 0;
}

void reviewNormal(ReviewFields& f, int64_t d, TimeValue now)
{
    const int64_t level = f.level;
    if (level <= 2) {
        reviewLowLevel(f, d, 3, now);
        return;
    }
    const int64_t threshold = level - 2;
    if (d <= threshold)
        f.done = 1;
    else if ((d - threshold) / level >= 1)
        demote(f, level - 1 >= 3 ? level - 2 : 1, now);
    else
        f.done = 0;
}

void reviewIntense(ReviewFields& f, int64_t d, TimeValue now)
{
    if (d < 1) {
        // Same half of the day (hours 0-12 or 13-23): rests; a sentence
        // studied in the morning is due again in the afternoon.
        f.done = inAfternoon(f.studiedAt) == inAfternoon(now) ? 1 : 0;
        return;
    }
    const int64_t level = f.level;
    if (level >= 6) {
        const int64_t half = (level - 4) / 2;
        const int64_t period = level / 2;
        if (d <= half)
            f.done = 1;
        else if ((d - half) / period >= 1)
            demote(f, level - 1 >= 6 ? (level - 1 - 4) / 2 + 1 : 1, now);
        else
            f.done = 0;
        return;
    }
    if (d == 1)
        f.done = 0;
    else if ((d - 1) / 2 >= 1)
        demote(f, 1, now);
    else
        f.done = 0;
}

} // namespace

int64_t elapsedDays(TimeValue studiedAt, TimeValue now)
{
    LocalClock day = toLocalClock(studiedAt);
    day.hour = 1;
    day.minute = 1;
    day.second = 1;
    return (now - fromLocalClock(day)) / kDay;
}

void DailyReview(ReviewFields& fields, int32_t reviewFrequency, TimeValue now)
{
    if (fields.level <= 0 || reviewFrequency < 1 || reviewFrequency > 3)
        return;
    const int64_t d = elapsedDays(fields.studiedAt, now);
    if (reviewFrequency == 1)
        reviewSparse(fields, d, now);
    else if (reviewFrequency == 2)
        reviewNormal(fields, d, now);
    else
        reviewIntense(fields, d, now);
}

} // namespace dictora
