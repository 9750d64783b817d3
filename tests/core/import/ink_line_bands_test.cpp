// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/pgs_picture.h"

#include <gtest/gtest.h>

using namespace dictora;

TEST(InkLineBands, LinesCoverThePictureAndThinInkJoinsTheNearerLine)
{
    using Bands = std::vector<std::pair<int, int>>;
    struct Case {
        const char* what;
        std::vector<int> inkRows; // rows of a 3-pixel-wide picture that hold ink
        Bands bands;
    };
    // A picture of 40 rows; lines of text are at least 4 rows thick.
    const Case cases[] = {
        {"no ink", {}, {}},
        {"one line", {10, 11, 12, 13, 14}, {{0, 40}}},
        {"two lines, cut halfway between", {5, 6, 7, 8, 20, 21, 22, 23}, {{0, 14}, {14, 40}}},
        {"the dot of an i joins the line below",
         {2, 6, 7, 8, 9, 30, 31, 32, 33},
         {{0, 20}, {20, 40}}},
        {"a thin stroke near the end joins the line above", {10, 11, 12, 13, 16}, {{0, 40}}},
        {"two thin strokes alone are one line", {10, 14}, {{0, 40}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InkPicture picture{3, 40, std::vector<uint8_t>(3 * 40, 255)};
        for (const int row : c.inkRows)
            picture.pixels[size_t(row) * 3 + 1] = 0;
        EXPECT_EQ(inkLineBands(picture, 128, 4), c.bands);
    }
}
