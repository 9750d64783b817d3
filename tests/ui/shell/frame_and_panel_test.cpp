// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ui/menu_answer.h"
#include "ui/shell/frame_dialog.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/sentence_list.h"
#include "ui/widgets/dialog_colours.h"
#include "ui/widgets/shadow_frame.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"
#include "ui/widgets/ui_font.h"

#include "core/study/sentence_table.h"
#include "core/study/study_state.h"

#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace dictora {
namespace {

struct FrameFixture : ::testing::Test {
    StudyState state;
    SentenceTable sentences;
    StudyServices services{state, sentences};
};

TEST_F(FrameFixture, StartsMaximisedWithCaptionIconAndPanelOverClientArea)
{
    FrameDialog frame(services, {});
    frame.start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Dictora 澄听2014"));
    EXPECT_FALSE(frame.windowIcon().isNull());
    EXPECT_TRUE(frame.windowState().testFlag(Qt::WindowMaximized));
    MainPanelDialog* panel = frame.mainPanel();
    EXPECT_EQ(panel->geometry(), frame.rect());
    EXPECT_TRUE(panel->sentenceList()->isVisible());
    EXPECT_EQ(panel->sentenceList()->geometry(), QRect(QPoint(0, 0), panel->size()));
    EXPECT_EQ(panel->sentenceList()->columnWidth(0), panel->width() - 25);
    EXPECT_NE(panel->tipWindow(), nullptr);
    EXPECT_NE(panel->shadowFrame(), nullptr);
    EXPECT_EQ(panel->shadowFrame()->shadowWidth(), 9);
    EXPECT_EQ(panel->shadowFrame()->grey(), 128);
}

TEST_F(FrameFixture, NeverSmallerThanEightHundredBySixHundred)
{
    FrameDialog frame(services, {});
    frame.resize(500, 400);
    EXPECT_EQ(frame.size(), QSize(800, 600));
    frame.resize(900, 500);
    EXPECT_EQ(frame.size(), QSize(900, 600));
}

TEST_F(FrameFixture, MinimisingHidesTheTip)
{
    FrameDialog frame(services, {});
    frame.start();
    TipWindow* tip = frame.mainPanel()->tipWindow();
    tip->ShowTip(20, 20, QStringLiteral("提示"));
    ASSERT_TRUE(tip->tipVisible());
    frame.showMinimized();
    EXPECT_FALSE(tip->tipVisible());
    EXPECT_FALSE(tip->isVisible());
}

TEST_F(FrameFixture, TimerRefreshesTheObservations)
{
    QObject under, foreground;
    QPoint askedAt(-1, -1);
    DesktopProbe probe;
    probe.windowAt = [&](const QPoint& p) -> const QObject* {
        askedAt = p;
        return &under;
    };
    probe.foregroundWindow = [&]() -> const QObject* { return &foreground; };
    FrameDialog frame(services, probe);
    state.now = QDateTime(QDate(2000, 1, 1), QTime(0, 0));
    state.cursorPos = QPoint(-77, -77);

    frame.refreshObservations();
    EXPECT_EQ(state.windowUnderCursor, &under);
    EXPECT_EQ(state.foregroundWindow, &foreground);
    EXPECT_EQ(askedAt, state.cursorPos);
    EXPECT_EQ(state.cursorPos, QCursor::pos());
    EXPECT_LE(std::abs(state.now.secsTo(QDateTime::currentDateTime())), 5);

    // The 20 ms timer does the same by itself once the frame runs.
    frame.start();
    state.now = QDateTime(QDate(2000, 1, 1), QTime(0, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return state.now.date().year() > 2000; }, 2000));
}

TEST_F(FrameFixture, ClosingTheFrameEndsTheProgram)
{
    FrameDialog frame(services, {});
    QSignalSpy closed(&frame, &FrameDialog::closed);
    frame.start();
    frame.mainPanel()->tipWindow()->ShowTip(5, 5, QStringLiteral("提示"));
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(FrameFixture, FirstPaintIsReportedOnce)
{
    FrameDialog frame(services, {});
    QSignalSpy painted(&frame, &FrameDialog::firstFramePainted);
    frame.start();
    ASSERT_TRUE(painted.wait(3000));
    frame.mainPanel()->repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(painted.count(), 1);
}

// A dialog as the panel's parent: Escape would close it and Enter would
// press its default button, if the panel let them through.
TEST_F(FrameFixture, EscapeAndEnterAreSwallowed)
{
    QDialog dialog;
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    int pressed = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++pressed; });
    auto* panel = new MainPanelDialog(&dialog, services);
    panel->setGeometry(0, 0, 400, 300);
    panel->sentenceList()->show();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    for (QWidget* target :
         {static_cast<QWidget*>(panel), static_cast<QWidget*>(panel->sentenceList()),
          panel->sentenceList()->viewport()}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(pressed, 0);

    // Other keys still pass: the dialog closes on Escape sent to itself.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FrameFixture, RightButtonReleaseAsksForTheMenu)
{
    MainPanelDialog panel(nullptr, services);
    panel.resize(400, 300);
    panel.sentenceList()->setGeometry(0, 0, 400, 300);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    QSignalSpy menu(&panel, &MainPanelDialog::contextMenuRequested);
    QWidget* viewport = panel.sentenceList()->viewport();
    const auto seen = test::answerNextMenu({});
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(30, 40));
    ASSERT_EQ(menu.count(), 1);
    EXPECT_EQ(menu.at(0).at(0).toPoint(), viewport->mapToGlobal(QPoint(30, 40)));
    EXPECT_TRUE(seen->shown);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(30, 40));
    EXPECT_EQ(menu.count(), 1);
}

TEST_F(FrameFixture, DockingMovesTheListAndFollowsTheFormsSide)
{
    FrameDialog frame(services, {});
    frame.start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    MainPanelDialog* panel = frame.mainPanel();
    QWidget form;
    QWidget screensaver;
    int dockedCalls = 0;
    bool docked = false;
    panel->floating().dictationForm = &form;
    panel->floating().screensaver = &screensaver;
    panel->floating().setDictationFormDocked = [&](bool d) {
        ++dockedCalls;
        docked = d;
    };
    const int h = panel->height();
    const int w = panel->width();

    // Floating: the screensaver window lies exactly over the panel.
    panel->layoutPanel();
    EXPECT_EQ(screensaver.geometry(), QRect(panel->mapToGlobal(QPoint(0, 0)), panel->size()));

    // A form in the lower half docks at the bottom.
    form.setGeometry(100, panel->mapToGlobal(QPoint(0, 0)).y() + h - 150, 600, 120);
    panel->toggleDock();
    EXPECT_EQ(panel->compactLayout, 0);
    EXPECT_EQ(panel->dockedAtTop, 0);
    EXPECT_TRUE(docked);
    EXPECT_EQ(panel->sentenceList()->geometry(), QRect(0, 0, w, h - 192));
    const QPoint origin = panel->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(form.geometry(), QRect(origin.x(), origin.y() + h - 192, w, 192));

    panel->toggleDock();
    EXPECT_EQ(panel->compactLayout, 1);
    EXPECT_FALSE(docked);
    EXPECT_EQ(panel->sentenceList()->geometry(), QRect(0, 0, w, h));

    // A form in the upper half docks at the top; the list starts below it.
    form.setGeometry(100, origin.y() + 20, 600, 120);
    panel->toggleDock();
    EXPECT_EQ(panel->dockedAtTop, 1);
    EXPECT_EQ(panel->sentenceList()->geometry(), QRect(0, 192, w, h - 192));
    EXPECT_EQ(form.geometry(), QRect(origin.x(), origin.y(), w, 193));
    EXPECT_EQ(screensaver.geometry(), QRect(origin.x(), origin.y() + 192, w, h - 192));
    EXPECT_EQ(dockedCalls, 3);
}

TEST_F(FrameFixture, BringToFrontKeepsTheFrameMaximisedAndFocusesTheAnswerBox)
{
    FrameDialog frame(services, {});
    frame.start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QWidget form(frame.mainPanel(), Qt::Tool | Qt::FramelessWindowHint);
    auto* answer = new QLineEdit(&form);
    form.setGeometry(100, 100, 400, 100);
    form.show();
    frame.mainPanel()->floating().dictationForm = &form;
    frame.setAnswerBox(answer);

    frame.bringToFront();
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(frame.windowState().testFlag(Qt::WindowMaximized));
    ASSERT_NE(frame.windowHandle(), nullptr);
    EXPECT_TRUE(frame.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer->hasFocus(); }, 2000));
    // The frame's window was made again; the panel still covers it.
    EXPECT_EQ(frame.mainPanel()->geometry(), frame.rect());
}

TEST(DialogColours, BackgroundAndTextOfEveryDialog)
{
    const QPalette saved = qApp->palette();
    applyDialogColours(*qApp);
    QWidget dialog;
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(204, 232, 207));
    EXPECT_EQ(dialog.palette().color(QPalette::WindowText), QColor(0, 0, 238));
    EXPECT_EQ(QFontInfo(uiFont()).family(), QStringLiteral("Noto Sans CJK SC"));
    qApp->setPalette(saved);
}

} // namespace
} // namespace dictora
