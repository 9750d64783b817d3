// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/row_clearance.h"

#include <algorithm>

namespace dictora {

namespace {

bool clearAt(const RowClearanceInput& in, int rows)
{
    const QRect moved = in.work.translated(0, -rows * in.rowHeight);
    return in.view.contains(moved) && !moved.intersects(in.cover);
}

} // namespace

int rowsToClear(const RowClearanceInput& in)
{
    if (in.work.isEmpty() || in.rowHeight <= 0 || clearAt(in, 0))
        return 0;
    // The nearest clear place first, whichever way it lies.
    const int most = std::max(in.roomUp, in.roomDown);
    for (int rows = 1; rows <= most; ++rows) {
        if (rows <= in.roomUp && clearAt(in, rows))
            return rows;
        if (rows <= in.roomDown && clearAt(in, -rows))
            return -rows;
    }
    return 0;
}

} // namespace dictora
