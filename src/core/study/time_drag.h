// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/row_editing.h"

namespace dictora {

class SentenceTable;

// Dragged time marks move in steps of this many milliseconds.
inline constexpr int kDragStepMs = 10;

// The nearest step to a time a mark was dragged to (never below 0).
int snapDraggedTime(int targetMs);

// Moves the start (point 1) or end (point 2) of row to where its mark was
// dragged, snapped to a step, within exactly the limits of ShiftTime: the
// neighbours follow as they follow a key press, and a drag clipped to
// nothing changes nothing.
TimeShift dragTimePoint(SentenceTable& table, int row, int point, int targetMs, bool notebook);

} // namespace dictora
