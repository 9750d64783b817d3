// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/desktop_windows.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace dictora {
namespace {

TEST(DesktopWindows, WindowUnderAPointSkipsWindowsTheMousePassesThrough)
{
    QWidget panel;
    panel.setGeometry(100, 100, 400, 300);
    panel.show();
    QWidget tip(&panel, Qt::ToolTip | Qt::WindowTransparentForInput);
    tip.setGeometry(150, 150, 100, 42);
    tip.show();
    QWidget form(&panel, Qt::Tool | Qt::FramelessWindowHint);
    form.setGeometry(300, 300, 100, 50);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));

    EXPECT_EQ(ownWindowAt(QPoint(160, 160)), &panel); // the tip lets it through
    EXPECT_EQ(ownWindowAt(QPoint(320, 320)), &form);  // owned window in front
    EXPECT_EQ(ownWindowAt(QPoint(120, 380)), &panel);
    EXPECT_EQ(ownWindowAt(QPoint(20, 20)), nullptr);
    form.hide();
    EXPECT_EQ(ownWindowAt(QPoint(320, 320)), &panel);
}

TEST(DesktopWindows, ADialogOfAnOwnedWindowStandsOverItsOwner)
{
    QWidget frame;
    frame.setGeometry(0, 0, 600, 500);
    frame.show();
    // The progress panel, owned by the frame, and the settings dialog it
    // owns in turn, over the panel; some of the frame's other windows beside.
    QWidget panel(&frame, Qt::Tool | Qt::FramelessWindowHint);
    panel.setGeometry(0, 400, 600, 80);
    panel.show();
    std::vector<std::unique_ptr<QWidget>> others;
    for (int i = 0; i < 6; ++i) {
        others.push_back(std::make_unique<QWidget>(&frame, Qt::Tool | Qt::FramelessWindowHint));
        others.back()->setGeometry(10 + i, 10, 20, 20);
        others.back()->show();
    }
    QWidget dialog(&panel, Qt::Dialog);
    dialog.setGeometry(200, 350, 200, 100);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    EXPECT_EQ(ownWindowAt(QPoint(250, 420)), &dialog);
    EXPECT_EQ(ownWindowAt(QPoint(100, 420)), &panel);
    EXPECT_EQ(ownWindowAt(QPoint(250, 300)), &frame);
}

} // namespace
} // namespace dictora
