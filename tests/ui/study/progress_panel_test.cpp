// SPDX-License-Identifier: GPL-3.0-or-later
#include "study_windows_fixture.h"

#include "support/ui/menu_answer.h"

#include "core/study/listening_keys.h"
#include "ui/media/playback_settings_dialog.h"
#include "ui/media/voice_settings_dialog.h"
#include "ui/screensaver/screensaver_window.h"
#include "ui/study/unit_list_dialog.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QSpinBox>
#include <QTest>

namespace dictora::test {
namespace {

using ProgressPanelTest = StudyWindows;

QColor groundOf(StatusItem& item)
{
    return item.grab().toImage().pixelColor(2, 2);
}

// Sends a mouse event to an item at a point inside it, as the window
// system would deliver it.
void sendMouse(StatusItem& item, QEvent::Type type, Qt::MouseButton button, QPoint at,
               Qt::MouseButtons held)
{
    QMouseEvent event(type, at, item.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&item, &event);
}

TEST_F(ProgressPanelTest, StandsAlongTheBottomOfTheWorkAreaWithItsFourItems)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    EXPECT_TRUE(progress().isVisible());
    EXPECT_EQ(progress().geometry(),
              QRect(0, area.bottom() + 1 - 80, screen->geometry().width(), 80));
    const int a = (progress().width() - 750) / 2;
    EXPECT_EQ(item(StatusItemType::TotalCompletion).geometry(), QRect(a, 10, 140, 60));
    EXPECT_EQ(item(StatusItemType::UnitSettings).geometry(), QRect(a + 145, 10, 300, 60));
    EXPECT_EQ(item(StatusItemType::TodayProgress).geometry(), QRect(a + 450, 10, 200, 60));
    EXPECT_EQ(item(StatusItemType::Mode).geometry(), QRect(a + 655, 10, 120, 60));

    EXPECT_EQ(item(StatusItemType::TotalCompletion).label(), "总完成率:");
    EXPECT_EQ(item(StatusItemType::UnitSettings).label(), "生句本");
    EXPECT_EQ(item(StatusItemType::UnitSettings).value(), "重点 / 每天新学3.00行");
    EXPECT_EQ(item(StatusItemType::TodayProgress).label(), "单元完成: 100%");
    EXPECT_EQ(item(StatusItemType::TodayProgress).value(), "估时 - 00:00");
    EXPECT_EQ(item(StatusItemType::Mode).label(), "浏览模式");
    EXPECT_EQ(groundOf(item(StatusItemType::Mode)), QColor(255, 230, 0));
}

TEST_F(ProgressPanelTest, LongUnitNameShowsItsFirstTwentyCharacters)
{
    ASSERT_TRUE(library->createUnit("ABCDEFGHIJKLMNOPQRSTUVWXY").ok);
    EXPECT_EQ(item(StatusItemType::UnitSettings).label(), "ABCDEFGHIJKLMNOPQRST ...");
    EXPECT_EQ(item(StatusItemType::UnitSettings).value(), "正常 / 每天新学1.00篇");
}

TEST_F(ProgressPanelTest, EditModeTurnsTheModeItemPinkWithinOneTick)
{
    StatusItem& mode = item(StatusItemType::Mode);
    state.editMode = true;
    mode.tick();
    EXPECT_EQ(mode.label(), "编辑模式");
    EXPECT_EQ(groundOf(mode), QColor(255, 128, 255));
}

TEST_F(ProgressPanelTest, DictationModeSwitchesTheScreensaverOnAndOff)
{
    StatusItem& mode = item(StatusItemType::Mode);
    tip().ShowTip(10, 10, "提示");
    state.dictationMode = true;
    mode.tick();
    EXPECT_EQ(mode.label(), "听写模式");
    EXPECT_EQ(groundOf(mode), QColor(64, 255, 64));
    EXPECT_TRUE(panel->screensaver()->screensaverOn());
    EXPECT_FALSE(tip().tipVisible());

    state.dictationMode = false;
    mode.tick();
    EXPECT_EQ(mode.label(), "浏览模式");
    EXPECT_FALSE(panel->screensaver()->screensaverOn());
}

TEST_F(ProgressPanelTest, PressMoveTwoReleaseClicks)
{
    StatusItem& today = item(StatusItemType::TodayProgress);
    const QPoint panelAt = progress().pos();
    sendMouse(today, QEvent::MouseButtonPress, Qt::LeftButton, {20, 20}, Qt::LeftButton);
    sendMouse(today, QEvent::MouseMove, Qt::NoButton, {22, 22}, Qt::LeftButton);
    sendMouse(today, QEvent::MouseButtonRelease, Qt::LeftButton, {22, 22}, Qt::NoButton);
    EXPECT_EQ(progress().pos(), panelAt);
    ASSERT_TRUE(tip().tipVisible());
    EXPECT_EQ(tip().text(), library->progressLine());
    const QRect at = progress().geometry();
    EXPECT_EQ(tip().tipRect().y(), at.y() - 40);
}

TEST_F(ProgressPanelTest, PressMoveFiveDragsThePanelAndRightClickDocksIt)
{
    StatusItem& today = item(StatusItemType::TodayProgress);
    const QRect docked = progress().geometry();
    sendMouse(today, QEvent::MouseButtonPress, Qt::LeftButton, {20, 20}, Qt::LeftButton);
    sendMouse(today, QEvent::MouseMove, Qt::NoButton, {20, 15}, Qt::LeftButton);
    sendMouse(today, QEvent::MouseButtonRelease, Qt::LeftButton, {20, 15}, Qt::NoButton);
    EXPECT_EQ(progress().pos(), docked.topLeft() + QPoint(0, -5));
    EXPECT_FALSE(tip().tipVisible());

    sendMouse(today, QEvent::MouseButtonPress, Qt::RightButton, {20, 20}, Qt::RightButton);
    sendMouse(today, QEvent::MouseButtonRelease, Qt::RightButton, {20, 20}, Qt::NoButton);
    EXPECT_EQ(progress().geometry(), docked);
}

TEST_F(ProgressPanelTest, ItemsOpenTheUnitLibraryTheUnitSettingsAndTheVoiceSettings)
{
    ASSERT_FALSE(panel->unitList()->popupShown());
    QTest::mouseClick(&item(StatusItemType::TotalCompletion), Qt::LeftButton);
    EXPECT_TRUE(panel->unitList()->popupShown());

    QTest::mouseClick(&item(StatusItemType::UnitSettings), Qt::LeftButton);
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().windowTitle(), "生句本 - 配置");

    ASSERT_FALSE(panel->voiceSettings()->isVisible());
    QTest::mouseClick(&item(StatusItemType::Mode), Qt::LeftButton);
    EXPECT_TRUE(panel->voiceSettings()->isVisible());
}

TEST_F(ProgressPanelTest, RightClickOnTheModeItemOffersTheVoiceAndThePlaybackSettings)
{
    StatusItem& mode = item(StatusItemType::Mode);
    const QString playbackItem = QString::fromUtf16(kPlaybackSettingsItemText);
    auto rightClick = [&] {
        sendMouse(mode, QEvent::MouseButtonPress, Qt::RightButton, {20, 20}, Qt::RightButton);
        sendMouse(mode, QEvent::MouseButtonRelease, Qt::RightButton, {20, 20}, Qt::NoButton);
    };

    ASSERT_FALSE(panel->voiceSettings()->isVisible());
    auto seen = answerNextMenu(QStringLiteral("语音设置"));
    rightClick();
    ASSERT_TRUE(seen->shown);
    EXPECT_EQ(seen->items, (QStringList{QStringLiteral("语音设置"), playbackItem}));
    EXPECT_TRUE(panel->voiceSettings()->isVisible());
    panel->voiceSettings()->hide();

    // "播放设置" opens the playback settings over the panel; what is set
    // there is kept in Cfg.
    QString title;
    auto* answer = new QTimer;
    answer->setInterval(5);
    QObject::connect(answer, &QTimer::timeout, [answer, &title] {
        auto* dialog = qobject_cast<PlaybackSettingsDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        answer->stop();
        answer->deleteLater();
        title = dialog->windowTitle();
        dialog->repeat()->setValue(3);
        dialog->accept();
    });
    answer->start();
    seen = answerNextMenu(playbackItem);
    rightClick();
    ASSERT_TRUE(seen->shown);
    EXPECT_EQ(title, playbackItem);
    EXPECT_EQ(loadPlaybackSettings(panel->services().folder).repeatCount, 3);
    EXPECT_FALSE(panel->voiceSettings()->isVisible());
}

TEST_F(ProgressPanelTest, HoverLightsTheItemWithTheTipCue)
{
    StatusItem& total = item(StatusItemType::TotalCompletion);
    state.windowUnderCursor = &progress();
    state.cursorPos = total.mapToGlobal(QPoint(5, 5));
    media.sent.clear();
    total.tick();
    EXPECT_TRUE(total.hovered());
    EXPECT_EQ(media.sent, QStringList{"Play TIP_WAV From 0 "});
    EXPECT_EQ(groundOf(total), QColor(230, 128, 0));
    total.tick();
    EXPECT_EQ(media.sent.size(), 1);

    tip().ShowTip(10, 10, "提示");
    state.cursorPos = total.mapToGlobal(QPoint(-20, 5));
    total.tick();
    EXPECT_FALSE(total.hovered());
    EXPECT_FALSE(tip().tipVisible());
    EXPECT_EQ(groundOf(total), QColor(255, 230, 0));
}

TEST_F(ProgressPanelTest, FadesTranslucentFiveSecondsAfterTheMouseLeft)
{
    state.cursorPos = progress().geometry().center();
    progress().tick();
    EXPECT_TRUE(progress().opaque());
    state.cursorPos = progress().geometry().topLeft() - QPoint(0, 10);
    for (int tick = 1; tick < 50; ++tick)
        progress().tick();
    EXPECT_TRUE(progress().opaque());
    progress().tick();
    EXPECT_FALSE(progress().opaque());
    // Receded, but its text stays readable under a compositing manager.
    EXPECT_NEAR(progress().windowOpacity(), 170 / 255.0, 0.01);

    state.cursorPos = progress().geometry().center();
    progress().tick();
    EXPECT_TRUE(progress().opaque());
    EXPECT_DOUBLE_EQ(progress().windowOpacity(), 1.0);
}

} // namespace
} // namespace dictora::test
