// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dictation/form_geometry.h"

#include <gtest/gtest.h>

using namespace dictora;

namespace {

// A 1600 x 900 screen with an 80-pixel panel along the bottom.
const QRect kWork{0, 0, 1600, 820};

TEST(FloatingForm, EightyPercentWideCentredAndKeptOffTheEdges)
{
    EXPECT_EQ(floatingFormRect(kWork, {0, 200}, 150, false), QRect(160, 200, 1280, 150));
    // Its bottom stays 30 pixels above the work area's bottom...
    EXPECT_EQ(floatingFormRect(kWork, {0, 700}, 150, false), QRect(160, 640, 1280, 150));
    // ...but it never rises above 30 pixels below the top.
    EXPECT_EQ(floatingFormRect(kWork, {0, 0}, 150, false).top(), 30);
    EXPECT_EQ(floatingFormRect(kWork, {0, 400}, 900, false).top(), 30);
    // Dragged by its toolbar it keeps its left edge.
    EXPECT_EQ(floatingFormRect(kWork, {77, 200}, 150, true).left(), 77);
    EXPECT_EQ(floatingFormRect(QRect(100, 50, 1000, 700), {0, 0}, 150, false),
              QRect(200, 80, 800, 150));
    EXPECT_EQ(floatingFormHeight(26, 106), 150);
}

struct Step {
    int top;
    bool movingUp;
    int expectedTop;
    bool expectedUp;
};

TEST(FloatingForm, AutomaticStepsWalkDownAndBackUp)
{
    const Step steps[] = {
        {75, false, 125, false},  // down 50
        {640, false, 640, true},  // 640 + 150 + 10 beyond 790: turns, stays
        {640, true, 590, true},   // up 50
        {35, true, 35, false},    // 35 - 10 above 30: turns, stays
        {70, true, 20, true},     // 60 is not above 30: moves
        {620, false, 670, false}, // 780 is not beyond 790: moves
    };
    for (const Step& s : steps) {
        const FormStep step = automaticFormStep(kWork, s.top, 150, s.movingUp);
        EXPECT_EQ(step.top, s.expectedTop) << "from " << s.top;
        EXPECT_EQ(step.movingUp, s.expectedUp) << "from " << s.top;
    }
}

TEST(FormGeometry, ToolbarTravelsAboveTheFloatingFormAndInsideTheDockedOne)
{
    EXPECT_EQ(toolbarRect(QRect(160, 75, 1280, 150), false), QRect(170, 30, 160, 35));
    EXPECT_EQ(toolbarRect(QRect(0, 0, 1600, 192), true), QRect(10, 152, 160, 35));
}

TEST(FormGeometry, MarkerAsWideAsTheWrongCharacterInsideTheForm)
{
    const struct {
        const char* name;
        int charLeft, charRight, caretY;
        QRect expected;
    } cases[] = {
        {"a wide letter", 300, 328, 0, QRect(300, 92, 28, 4)},
        {"a narrow letter gets the least width", 108, 111, 53, QRect(108, 145, 6, 4)},
        {"at the left edge", 0, 18, 0, QRect(5, 92, 18, 4)},
        {"past the right edge", 1270, 1300, 0, QRect(1245, 92, 30, 4)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mismatchMarkerRect(c.charLeft, c.charRight, c.caretY, 1280, 26, 52), c.expected)
            << c.name;
}

TEST(FloatingForm, BandKeepsTheFormAndItsToolbarOffTheWork)
{
    // The work area of a 1280 x 720 screen less an 80-pixel status bar.
    const QRect area(0, 0, 1280, 640);
    const int form = 150;
    const struct {
        const char* name;
        QRect work;
        QRect band;
    } cases[] = {
        {"no work: the whole area below the toolbar's room", QRect(), QRect(0, 19, 1280, 621)},
        {"a top row: below it", QRect(0, 35, 1280, 95), QRect(0, 149, 1280, 491)},
        {"a low row: above it", QRect(0, 420, 1280, 95), QRect(0, 19, 1280, 401)},
        {"welcome rows in view: below them", QRect(0, 0, 1280, 350), QRect(0, 369, 1280, 271)},
        {"work too tall, centre high: lower half", QRect(0, 0, 1280, 520),
         QRect(0, 329, 1280, 311)},
        {"work too tall, centre low: upper half", QRect(0, 100, 1280, 540),
         QRect(0, 19, 1280, 310)},
    };
    for (const auto& c : cases) {
        const QRect band = floatingFormBand(area, c.work, form);
        EXPECT_EQ(band, c.band) << c.name;
        // Where the work leaves room, neither the form nor its toolbar meets
        // it; where it does not, the list scrolls it clear.
        const QRect placed = floatingFormRect(band, {0, 700}, form, false);
        if (!band.intersects(c.work)) {
            EXPECT_FALSE(placed.intersects(c.work)) << c.name;
            EXPECT_FALSE(toolbarRect(placed, false).intersects(c.work)) << c.name;
            EXPECT_TRUE(area.contains(placed)) << c.name;
        }
    }
}

TEST(FormGeometry, HintAboveTheCaretLineKeptOnTheScreen)
{
    EXPECT_EQ(hintPoint({160, 75}, {300, 0}, 26, 1600), QPoint(360, 71));
    EXPECT_EQ(hintPoint({0, 75}, {20, 53}, 26, 1600), QPoint(10, 124));
    EXPECT_EQ(hintPoint({160, 75}, {1400, 0}, 26, 1600).x(), 1370);
}

} // namespace

namespace {

TEST(GrownFormWidth, WidensForALongWordNearTheRightEdgeUpToTheWorkArea)
{
    const struct {
        const char* name;
        int width, caretX;
        const char* line;
        int lastX;
        int grown;
    } cases[] = {
        {"long word past three quarters", 800, 700, "the encyclopedia", 760, 800 + 80},
        {"caret not yet past three quarters", 800, 600, "the encyclopedia", 760, 800},
        {"short last word", 800, 700, "it is", 760, 800},
        {"four pixels are no growth", 800, 700, "the encyclopedia", 684, 800},
        {"five are", 800, 700, "the encyclopedia", 685, 805},
        {"capped at the work area less 14", 800, 700, "the encyclopedia", 1000, 1010},
        {"already as wide as it may be", 1010, 900, "the encyclopedia", 1000, 1010},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dictora::grownFormWidth(c.width, 1024, c.caretX, QString::fromLatin1(c.line),
                                          c.lastX, 100),
                  c.grown);
    }
}

} // namespace
