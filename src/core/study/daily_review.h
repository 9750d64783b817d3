// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/stamp.h"

#include <cstdint>

namespace dictora {

// The three study fields of a sentence that the review schedule moves.
struct ReviewFields {
    int32_t done = 0; // 1 resting, 0 to study
    int32_t level = 0;
    TimeValue studiedAt = 0;
};

// Whole 86400-second periods from the calendar day of studiedAt at 01:01:01
// local time to now, truncated toward zero. Between midnight and 01:01:01 the
// count is one lower than the calendar difference; a future studiedAt gives 0
// or a negative count.
int64_t elapsedDays(TimeValue studiedAt, TimeValue now);

// Decides on loading whether a sentence is due again (done 0) or rests
// (done 1) under the Unit's review frequency (1 sparse, 2 normal, 3 intense),
// and lowers the level of a sentence left unstudied for too long, setting its
// studiedAt back so that it is due at once. Levels of 0 or below and any other
// frequency leave the fields as read.
void DailyReview(ReviewFields& fields, int32_t reviewFrequency, TimeValue now);

} // namespace dictora
