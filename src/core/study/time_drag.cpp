// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/time_drag.h"

#include "core/study/number_text.h"
#include "core/study/sentence_table.h"

#include <algorithm>

namespace dictora {

int snapDraggedTime(int targetMs)
{
    const int t = std::max(targetMs, 0);
    return (t + kDragStepMs / 2) / kDragStepMs * kDragStepMs;
}

TimeShift dragTimePoint(SentenceTable& table, int row, int point, int targetMs, bool notebook)
{
    if (!table.isValidRow(row) || (point != 1 && point != 2))
        return {};
    const int current = textToInt(table.field(row, point == 1 ? StartMs : EndMs));
    const int64_t delta = int64_t(snapDraggedTime(targetMs)) - current;
    if (delta == 0 || delta > INT32_MAX || delta < INT32_MIN)
        return {};
    return ShiftTime(table, row, int(delta), false, point, notebook);
}

} // namespace dictora
