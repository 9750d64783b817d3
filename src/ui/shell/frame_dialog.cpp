// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shell/frame_dialog.h"

#include "core/study/study_session.h"
#include "ui/screensaver/screensaver_window.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/shell/unsaved_changes_prompt.h"
#include "ui/study/sentence_list.h"
#include "ui/widgets/resource_picture.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QIcon>
#include <QTableView>
#include <QWindow>

namespace dictora {

FrameDialog::FrameDialog(StudyServices& services, DesktopProbe probe)
    : QWidget(nullptr, Qt::Window), session_(services.session), library_(services.library),
      probe_(std::move(probe))
{
    setObjectName(QStringLiteral("frame"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    const StudyState& state = session_.state();
    session_.desktopObserved(QDateTime::currentDateTime(), state.cursorPos,
                             state.windowUnderCursor, state.foregroundWindow);
    mainPanel_ = new MainPanelDialog(this, services);
    // The first paint of the study screen is whichever of these comes first:
    // Qt does not paint a widget whose children cover it completely.
    mainPanel_->installEventFilter(this);
    mainPanel_->sentenceList()->viewport()->installEventFilter(this);
}

FrameDialog::~FrameDialog() = default;

void FrameDialog::start()
{
    setWindowIcon(QIcon(resourcePath(res::kProgramIcon, QStringLiteral("ICON"))));
    setWindowTitle(QStringLiteral("Dictora 澄听2014"));
    showMaximized();
    mainPanel_->setGeometry(rect());
    mainPanel_->show();
    mainPanel_->createOwnedWindows();
    // The list is up at once, so the study screen is usable from its first
    // paint; the start-up splash fades in over it and brings up the rest.
    mainPanel_->sentenceList()->show();
    mainPanel_->layoutPanel();
    if (ScreensaverWindow* screensaver = mainPanel_->screensaver()) {
        screensaver->splashStage = 0;
        screensaver->StartFade();
    }

    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &FrameDialog::refreshObservations);
    timer_.start(20);
}

void FrameDialog::refreshObservations()
{
    const QPoint cursor = QCursor::pos();
    session_.desktopObserved(QDateTime::currentDateTime(), cursor,
                             probe_.windowAt ? probe_.windowAt(cursor) : nullptr,
                             probe_.foregroundWindow ? probe_.foregroundWindow() : nullptr);
}

void FrameDialog::bringToFront()
{
    // The hint goes to the native window as it is: changing the widget's
    // flags would make a new native window, and the owned windows (the
    // screensaver, the progress panel) would lose it as their owner and fall
    // behind the frame.
    if (QWindow* native = windowHandle();
        native && !native->flags().testFlag(Qt::WindowStaysOnTopHint))
        native->setFlags(native->flags() | Qt::WindowStaysOnTopHint);
    raise();
    activateWindow();
    MainPanelDialog* panel = mainPanel_;
    for (QWidget* w :
         {panel->floating().screensaver.data(), panel->floating().dictationForm.data()}) {
        if (w && w->isVisible()) {
            w->raise();
            w->activateWindow();
        }
    }
    if (answerBox_)
        answerBox_->setFocus(Qt::ActiveWindowFocusReason);
}

void FrameDialog::leaveTopLayer()
{
    // As in bringToFront, on the native window as it is.
    if (QWindow* native = windowHandle();
        native && native->flags().testFlag(Qt::WindowStaysOnTopHint))
        native->setFlags(native->flags() & ~Qt::WindowStaysOnTopHint);
}

void FrameDialog::changeEvent(QEvent* event)
{
    // Qt reports the minimise as it happens; the tip goes first so it does
    // not stay on the screen over other programs.
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        if (TipWindow* tip = mainPanel_->tipWindow())
            tip->HideTip();
    }
    QWidget::changeEvent(event);
}

void FrameDialog::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    mainPanel_->panelMoved();
}

void FrameDialog::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    mainPanel_->setGeometry(rect());
    mainPanel_->update();
}

void FrameDialog::closeEvent(QCloseEvent* event)
{
    // Changes whose autosave failed (a full disk) are not dropped unasked.
    if (library_)
        saveOrConfirmClose(*library_, this);
    timer_.stop();
    event->accept();
    emit closed();
}

bool FrameDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (!painted_ && event->type() == QEvent::Paint && watched != this) {
        painted_ = true;
        // Reported after this paint is done, when the frame is on the screen.
        QMetaObject::invokeMethod(this, &FrameDialog::firstFramePainted, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace dictora
