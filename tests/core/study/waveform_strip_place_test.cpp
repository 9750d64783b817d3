// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/waveform_strip_place.h"

#include <gtest/gtest.h>

namespace dictora {
namespace {

// A viewport of 1250 x 600 with 35-pixel rows; the strip is 64 high from x 330.
WaveformStripPlaceInput rowAt(int top, QList<QRect> covered = {})
{
    WaveformStripPlaceInput in;
    in.row = QRect(0, top, 1250, 35);
    in.view = QRect(0, 0, 1250, 600);
    in.left = 330;
    in.right = 1230;
    in.height = 64;
    in.covered = std::move(covered);
    return in;
}

TEST(WaveformStripPlace, UnderTheRowUnlessTheListOrAFloatingWindowIsInTheWay)
{
    const QRect form(110, 120, 1024, 150); // the dictation form over rows 3 to 7
    struct Case {
        const char* what;
        WaveformStripPlaceInput in;
        std::optional<int> top; // nullopt: hidden
    };
    const Case cases[] = {
        {"a row in the middle", rowAt(300), 335},
        {"the last row: over it", rowAt(560), 496},
        {"under the row lies beneath the form: over it", rowAt(70, {form}), 6},
        {"the form far from the row", rowAt(400, {form}), 435},
        {"covered both ways: under, as without the form", rowAt(140, {form}), 175},
        {"covered both ways at the bottom: over", rowAt(560, {QRect(0, 400, 1250, 300)}), 496},
        {"a window left of the text column is no cover", rowAt(70, {QRect(0, 100, 300, 80)}), 105},
        {"a row scrolled out of view", rowAt(-40), std::nullopt},
        {"no row", WaveformStripPlaceInput{}, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<QRect> place = waveformStripPlace(c.in);
        ASSERT_EQ(place.has_value(), c.top.has_value()) << c.what;
        if (!place)
            continue;
        EXPECT_EQ(place->top(), *c.top) << c.what;
        EXPECT_EQ(place->left(), 330) << c.what;
        EXPECT_EQ(place->width(), 900) << c.what;
        EXPECT_EQ(place->height(), 64) << c.what;
    }
}

} // namespace
} // namespace dictora
