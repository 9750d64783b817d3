// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/window_placement.h"

#include <gtest/gtest.h>

#include <ostream>

// Found by GoogleTest for QRect, which lives in the global namespace.
void PrintTo(const QRect& r, std::ostream* out)
{
    *out << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

using namespace dictora;

namespace {

// The screens a learner may have, as Qt sees them (3200 x 1800 at twice the
// scale is 1600 x 900), each with and without a 30-pixel panel at the bottom.
struct Screen {
    const char* name;
    QRect area;
};
const Screen kScreens[] = {
    {"1280x720", {0, 0, 1280, 720}},         {"1280x720 panel", {0, 0, 1280, 690}},
    {"1366x768", {0, 0, 1366, 768}},         {"1366x768 panel", {0, 0, 1366, 738}},
    {"1600x900", {0, 0, 1600, 900}},         {"1600x900 panel", {0, 0, 1600, 870}},
    {"2560x1440", {0, 0, 2560, 1440}},       {"3200x1800 at 2x", {0, 0, 1600, 900}},
    {"second screen", {1920, 0, 1280, 720}},
};

} // namespace

TEST(WindowPlacement, EveryWindowStaysInsideTheWorkAreaOfEveryScreen)
{
    for (const Screen& s : kScreens) {
        const QRect& a = s.area;
        // Where windows ask to be: the settings dialog centred on the strip
        // along the bottom (hanging below it), a tip at the bottom right, a
        // dialog larger than a small screen, one dragged off to the left,
        // the video window, and the undocked toolbar 45 pixels above the
        // strip's top.
        const QRect owner(a.left(), a.bottom() - 40, a.width(), 80);
        const struct {
            const char* what;
            QRect wanted;
        } windows[] = {
            {"settings dialog", centredOn({480, 600}, owner, a)},
            {"add-content dialog", centredOn({520, 260}, owner, {})},
            {"tip at the corner", QRect(a.right() - 100, a.bottom() - 20, 300, 46)},
            {"dialog larger than the screen", QRect(a.left(), a.top(), 1400, 800)},
            {"dragged off to the left", QRect(a.left() - 500, a.top() + 200, 640, 480)},
            {"video window", QRect(a.center() - QPoint(400, 300), QSize(800, 600))},
            {"undocked toolbar", QRect(a.left() + 10, a.top() - 45 + 30, 160, 35)},
            {"toolbar past the bottom", QRect(a.left() + 10, a.bottom() - 10, 160, 35)},
        };
        for (const auto& w : windows) {
            const QRect placed = placeInside(w.wanted, a);
            EXPECT_TRUE(a.contains(placed)) << s.name << ": " << w.what;
            EXPECT_EQ(placed.size(), w.wanted.size().boundedTo(a.size()))
                << s.name << ": " << w.what;
            if (a.contains(w.wanted)) {
                EXPECT_EQ(placed, w.wanted) << s.name << ": " << w.what << " moved needlessly";
            }
        }
    }
}

TEST(WindowPlacement, FramedWindowsKeepTitleAndButtonsOnEveryScreen)
{
    // The title bar and border a window manager adds, at 1x and at 2x.
    const QMargins frames[] = {{4, 28, 4, 4}, {2, 12, 2, 2}};
    const struct {
        const char* what;
        QSize client;
    } windows[] = {
        {"study record", {880, 760}},       {"export progress", {420, 130}},
        {"alignment progress", {360, 150}}, {"playback settings", {430, 330}},
        {"add-content dialog", {520, 260}},
    };
    for (const Screen& s : kScreens) {
        const QRect& a = s.area;
        // Owned by the frame, maximised, or by the strip along the bottom.
        const QRect owners[] = {a, QRect(a.left(), a.bottom() - 79, a.width(), 80)};
        for (const QMargins& frame : frames)
            for (const QRect& owner : owners)
                for (const auto& w : windows) {
                    const QRect client = framedWindowPlace(w.client, frame, owner, a);
                    EXPECT_TRUE(a.contains(client.marginsAdded(frame))) << s.name << ": " << w.what;
                    EXPECT_EQ(client.size(), w.client.boundedTo(a.size().shrunkBy(frame)))
                        << s.name << ": " << w.what;
                }
    }
    const QRect screen(0, 0, 1280, 720); // where it fits, centred on its owner
    EXPECT_EQ(framedWindowPlace({400, 300}, {4, 28, 4, 4}, screen, screen),
              QRect(440, 222, 400, 300));
}

TEST(WindowPlacement, ToolbarKeepsClearOfTheSwitchTextAndTheFirstRow)
{
    for (const Screen& s : kScreens) {
        const QRect& a = s.area;
        const QRect switchText(a.left(), a.top(), 250, 70);
        const QRect firstRow(a.left(), a.top() + 72, a.width(), 24);
        const QList<QRect> clear = {switchText, firstRow};
        const struct {
            const char* what;
            QRect wanted;
        } cases[] = {
            {"over the switch text", QRect(a.left() + 10, a.top() + 30, 160, 35)},
            {"half above the screen", QRect(a.left() + 10, a.top() - 20, 160, 35)},
            {"over the first row", QRect(a.left() + 400, a.top() + 70, 160, 35)},
            {"nothing in the way", QRect(a.left() + 400, a.top() + 300, 160, 35)},
            {"at the bottom edge", QRect(a.left() + 10, a.bottom() - 20, 160, 35)},
        };
        for (const auto& c : cases) {
            const QRect placed = toolbarPlace(c.wanted, a, clear);
            EXPECT_TRUE(a.contains(placed)) << s.name << ": " << c.what;
            EXPECT_FALSE(placed.intersects(switchText)) << s.name << ": " << c.what;
            EXPECT_FALSE(placed.intersects(firstRow)) << s.name << ": " << c.what;
            EXPECT_EQ(placed.size(), c.wanted.size()) << s.name << ": " << c.what;
        }
        // Where it covers nothing it stays exactly where it was asked to be.
        const QRect free(a.left() + 400, a.top() + 300, 160, 35);
        EXPECT_EQ(toolbarPlace(free, a, clear), free) << s.name;
        // Just under the row, not somewhere far away.
        EXPECT_EQ(toolbarPlace(QRect(a.left() + 10, a.top() + 30, 160, 35), a, clear).top(),
                  firstRow.bottom() + 1 + kKeepClearGap)
            << s.name;
    }
}

TEST(WindowPlacement, NoScreenLeavesThePlaceAndAFullAreaKeepsItInside)
{
    const QRect wanted(-50, -50, 100, 100);
    EXPECT_EQ(placeInside(wanted, QRect()), wanted);
    // Nowhere is clear: it still stays inside.
    const QRect area(0, 0, 300, 100);
    const QRect placed = toolbarPlace(QRect(10, 10, 160, 35), area, {area});
    EXPECT_TRUE(area.contains(placed));
}
