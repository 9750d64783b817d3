// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

namespace dictora {

// How many rows the sentence list scrolls so that `work` -- the current row
// with its waveform strip, in the viewport's coordinates -- lies inside
// `view` and off `cover` (the floating dictation form over the list, in the
// same coordinates). Positive moves the rows up. The list can scroll at most
// roomUp rows up and roomDown rows down. 0 when the work is clear already,
// or when no scroll within that room would clear it.
struct RowClearanceInput {
    QRect view;
    QRect work;
    QRect cover;
    int rowHeight = 35;
    int roomUp = 0;
    int roomDown = 0;
};
int rowsToClear(const RowClearanceInput& in);

} // namespace dictora
