// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/row_clearance.h"

#include <gtest/gtest.h>

using namespace dictora;

namespace {

TEST(RowClearance, ScrollsTheCurrentRowAndItsStripOffTheFormAndIntoView)
{
    // A 600-pixel list, the form over its lower half, a row with its strip.
    const QRect view(0, 0, 1200, 600);
    const QRect lowForm(0, 330, 1200, 200);
    const struct {
        const char* name;
        QRect work;
        QRect cover;
        int roomUp, roomDown;
        int rows;
    } cases[] = {
        {"clear already", QRect(0, 70, 1200, 95), lowForm, 10, 10, 0},
        {"under the form: up to the nearest clear place", QRect(0, 350, 1200, 95), lowForm, 10, 10,
         4},
        {"under a form at the top: down below it", QRect(0, 150, 1200, 95), QRect(0, 0, 1200, 200),
         10, 10, -2},
        {"past the bottom of the view", QRect(0, 560, 1200, 95), QRect(), 10, 10, 2},
        {"no scroll clears it", QRect(0, 350, 1200, 95), lowForm, 1, 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rowsToClear({view, c.work, c.cover, 35, c.roomUp, c.roomDown}), c.rows) << c.name;
}

} // namespace
