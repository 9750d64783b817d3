// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/tip_window.h"

#include "core/study/study_state.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace dictora {
namespace {

constexpr int kScreenWidth = 1600;

struct TipFixture : ::testing::Test {
    StudyState state;
    TipWindow tip{nullptr, state, kScreenWidth};

    // Ticks until the tip hides; -1 when it is still shown after limit ticks.
    int ticksUntilHidden(int limit = 1000)
    {
        for (int n = 1; n <= limit; ++n) {
            tip.tick();
            if (!tip.tipVisible())
                return n;
        }
        return -1;
    }
};

TEST_F(TipFixture, WidthIsThirtyPerCharacterPlusSix)
{
    tip.ShowTip(100, 200, QStringLiteral("0123456789"));
    EXPECT_EQ(tip.tipRect(), QRect(100, 200, 306, 42));
    EXPECT_EQ(tip.geometry(), QRect(100, 200, 306, 42));
    EXPECT_EQ(TipWindow::widthFor(QStringLiteral("请切换到编辑模式先")), 276);
    EXPECT_TRUE(tip.tipVisible());
    EXPECT_TRUE(tip.isVisible());
}

TEST_F(TipFixture, StaysFivePixelsInsideTheScreen)
{
    tip.ShowTip(-20, 50, QStringLiteral("加入生句本"));
    EXPECT_EQ(tip.tipRect().x(), 5);

    tip.ShowTip(1500, 50, QStringLiteral("添加成功")); // 126 wide
    EXPECT_EQ(tip.tipRect().x(), kScreenWidth - 126 - 5);
    EXPECT_EQ(tip.tipRect().y(), 50);

    tip.ShowTip(1469, 60, QStringLiteral("添加成功"), &tip); // right edge exactly at 1595
    EXPECT_EQ(tip.tipRect().x(), 1469);

    // Wider than the screen: its beginning stays on the screen.
    tip.ShowTip(300, 60, QString(60, QChar(u'字')));
    EXPECT_EQ(tip.tipRect().x(), 5);
    EXPECT_EQ(tip.tipRect().width(), 1806);
}

TEST_F(TipFixture, SameTextAndOwnerWhileShownChangesNothing)
{
    QWidget owner;
    tip.ShowTip(100, 100, QStringLiteral("可以拖动文件添加内容"), &owner);
    const QImage first = tip.picture();
    tip.ShowTip(400, 300, QStringLiteral("可以拖动文件添加内容"), &owner);
    EXPECT_EQ(tip.tipRect().topLeft(), QPoint(100, 100));
    EXPECT_EQ(tip.picture().cacheKey(), first.cacheKey()); // not redrawn

    // Another owner, another text, or a hidden tip: shown again at the new point.
    tip.ShowTip(400, 300, QStringLiteral("可以拖动文件添加内容"));
    EXPECT_EQ(tip.tipRect().topLeft(), QPoint(400, 300));
    tip.ShowTip(120, 130, QStringLiteral("其他"));
    EXPECT_EQ(tip.tipRect().topLeft(), QPoint(120, 130));
    tip.HideTip();
    EXPECT_FALSE(tip.tipVisible());
    tip.ShowTip(140, 150, QStringLiteral("其他"));
    EXPECT_EQ(tip.tipRect().topLeft(), QPoint(140, 150));
}

TEST_F(TipFixture, HideTipWithArgumentDoesNothing)
{
    tip.ShowTip(10, 10, QStringLiteral("提示"));
    tip.HideTip(1);
    EXPECT_TRUE(tip.tipVisible());
    tip.HideTip();
    EXPECT_FALSE(tip.tipVisible());
    EXPECT_FALSE(tip.isVisible());
}

TEST_F(TipFixture, WithoutOwnerHidesAfterAboutTwoAndAHalfSeconds)
{
    tip.ShowTip(10, 10, QStringLiteral("提示"));
    EXPECT_EQ(ticksUntilHidden(), 121);
    EXPECT_EQ(tip.leaveCount(), 0);
    tip.tick();
    EXPECT_EQ(tip.leaveCount(), 0); // hidden: the count stays at zero
}

TEST_F(TipFixture, OwnerKeepsItWhileTheCursorIsOverIt)
{
    QWidget owner;
    owner.setGeometry(300, 300, 200, 100);
    tip.ShowTip(10, 10, QStringLiteral("提示"), &owner);
    state.cursorPos = owner.mapToGlobal(QPoint(50, 50));
    EXPECT_EQ(ticksUntilHidden(500), -1);

    // Leaving the owner: gone 21 ticks (about 0.4 s) later, even if the
    // cursor comes back in between.
    state.cursorPos = owner.mapToGlobal(QPoint(-10, 50));
    tip.tick();
    state.cursorPos = owner.mapToGlobal(QPoint(50, 50));
    EXPECT_EQ(ticksUntilHidden(), 20);
}

TEST_F(TipFixture, DictationWindowHidesItsOwnTips)
{
    QWidget dictation;
    dictation.setGeometry(300, 300, 200, 100);
    tip.setDictationWindow(&dictation);
    tip.ShowTip(10, 10, QStringLiteral("提示"), &dictation);
    state.cursorPos = QPoint(5000, 5000);
    EXPECT_EQ(ticksUntilHidden(500), -1);
}

TEST_F(TipFixture, OwnerThatIsGoneCountsAsLeft)
{
    auto* owner = new QWidget;
    tip.ShowTip(10, 10, QStringLiteral("提示"), owner);
    delete owner;
    EXPECT_EQ(ticksUntilHidden(), 21);
}

TEST_F(TipFixture, DrawsBackgroundAndLightCyanText)
{
    tip.ShowTip(10, 10, QStringLiteral("听写"));
    const QImage& picture = tip.picture();
    ASSERT_EQ(picture.size(), QSize(66, 42));
    int textPixels = 0;
    int backgroundPixels = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (c.alpha() == 255 && c.red() == 128 && c.green() == 255 && c.blue() == 255)
                ++textPixels;
            else if (c.alpha() > 200 && c.red() < 80)
                ++backgroundPixels;
        }
    }
    EXPECT_GT(textPixels, 40);
    EXPECT_GT(backgroundPixels, 500);
    // The text is centred: the left and right margins hold no text.
    for (int y = 0; y < 42; ++y) {
        EXPECT_NE(picture.pixelColor(1, y), QColor(128, 255, 255));
        EXPECT_NE(picture.pixelColor(64, y), QColor(128, 255, 255));
    }
}

} // namespace
} // namespace dictora
