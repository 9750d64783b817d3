#include "platform/desktop/desktop_windows.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

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

} // namespace
} // namespace dictora
