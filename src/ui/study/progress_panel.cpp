// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/study/progress_panel.h"

#include "ui/history/study_record_button.h"

#include "core/study/listening_keys.h"
#include "core/media/media_commands.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "ui/media/playback_settings_dialog.h"
#include "ui/media/voice_settings_dialog.h"
#include "ui/screensaver/screensaver_window.h"
#include "ui/study/status_item.h"
#include "ui/study/unit_list_dialog.h"
#include "ui/study/unit_settings_dialog.h"
#include "ui/widgets/sound_cues.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"

#include <QGuiApplication>
#include <QMenu>
#include <QRegion>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

namespace dictora {

namespace {

struct ItemPlace {
    int offset; // from a = (panel width - 750) / 2
    int width;
};

constexpr ItemPlace kItemPlaces[] = {{0, 140}, {145, 300}, {450, 200}, {655, 120}};

constexpr StatusItemType kItemTypes[] = {StatusItemType::TotalCompletion,
                                         StatusItemType::UnitSettings,
                                         StatusItemType::TodayProgress, StatusItemType::Mode};

} // namespace

ProgressPanel::ProgressPanel(StudyPanel& panel, QWidget* owner)
    : LayeredWindow(owner, Qt::Tool | Qt::WindowDoesNotAcceptFocus), panel_(panel),
      state_(panel.state()), library_(panel.services().library)
{
    setObjectName(QStringLiteral("progressPanel"));
    setWindowTitle(QStringLiteral("Dictora"));
    for (const StatusItemType type : kItemTypes)
        items_[int(type)] = new StatusItem(*this, type);
    new StudyRecordButton(panel, this);
    if (library_) {
        connect(library_, &UnitLibrary::progressChanged, this, &ProgressPanel::RefreshPanel);
        connect(library_, &UnitLibrary::unitOpened, this, &ProgressPanel::RefreshPanel);
    }
    if (owner)
        owner->installEventFilter(this);
    DockPanel();
    RefreshPanel();

    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ProgressPanel::tick);
    timer_.start(100);
}

QRect ProgressPanel::dockedRect(const QRect& screen, const QRect& workArea)
{
    return {screen.x(), workArea.y() + workArea.height() - kHeight, screen.width(), kHeight};
}

QRect ProgressPanel::itemRect(StatusItemType type, int panelWidth)
{
    const int a = (panelWidth - kItemsWidth) / 2;
    const ItemPlace& place = kItemPlaces[int(type)];
    return {a + place.offset, kItemTop, place.width, kItemHeight};
}

void ProgressPanel::DockPanel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    setGeometry(dockedRect(screen->geometry(), screen->availableGeometry()));
}

StatusFigures ProgressPanel::figures() const
{
    StatusFigures f;
    if (!library_)
        return f;
    f.totalPercentText = library_->totalPercentText();
    f.unitName = library_->unitName();
    f.header = library_->header();
    f.isNotebook = library_->isNotebook();
    f.unitPercentText = library_->unitPercentText();
    f.estimateText = library_->estimateText();
    return f;
}

int ProgressPanel::reviewWaiting() const
{
    return library_ ? library_->reviewMarks().count() : 0;
}

void ProgressPanel::RefreshPanel()
{
    for (StatusItem* item : items_)
        item->refreshTexts();
}

void ProgressPanel::placeItems()
{
    QRegion items;
    for (StatusItem* item : items_) {
        item->setGeometry(itemRect(item->type(), width()));
        items += item->geometry();
    }
    if (auto* record = findChild<StudyRecordButton*>()) {
        record->setGeometry(StudyRecordButton::placeBeside(itemRect(StatusItemType::Mode, width())));
        items += record->geometry();
    }
    // Only the items are part of the window: the rest of the strip shows
    // and passes the mouse to whatever lies below.
    setMask(items);
}

void ProgressPanel::followOwner()
{
    // Window managers keep a window above the one it is transient for only
    // while that one is on the screen, and read the link when the window is
    // shown. The screensaver window, the panel's owner, is hidden outside
    // Dictation mode; a panel shown then stays above the study screen itself.
    QWindow* handle = windowHandle();
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!handle || !owner)
        return;
    QWidget* above = owner->isVisible() ? owner : panel_.window();
    if (above != this && above->windowHandle())
        handle->setTransientParent(above->windowHandle());
    shownAbove_ = above;
}

bool ProgressPanel::eventFilter(QObject* watched, QEvent* event)
{
    // The owner coming up (the screensaver in Dictation mode) must not cover
    // the panel.
    if (watched == parentWidget() && isVisible()) {
        if (event->type() == QEvent::Show) {
            raise();
        } else if (event->type() == QEvent::Hide && shownAbove_ == watched) {
            // Shown again, so the window manager learns the new link.
            hide();
            show();
        }
    }
    return LayeredWindow::eventFilter(watched, event);
}

void ProgressPanel::showEvent(QShowEvent* event)
{
    LayeredWindow::showEvent(event);
    followOwner();
}

void ProgressPanel::resizeEvent(QResizeEvent* event)
{
    LayeredWindow::resizeEvent(event);
    placeItems();
}

void ProgressPanel::itemClicked(StatusItemType type)
{
    switch (type) {
    case StatusItemType::TotalCompletion:
        showUnitList();
        break;
    case StatusItemType::UnitSettings:
        if (UnitSettingsDialog* dialog = panel_.unitSettings())
            dialog->showEditUnit();
        break;
    case StatusItemType::TodayProgress:
        if (TipWindow* tip = panel_.tipWindow()) {
            if (library_) {
                const QRect at = geometry();
                tip->ShowTip((at.width() - 770) / 2 + at.x() + 400, at.y() - 40,
                             library_->progressLine());
            }
        }
        break;
    case StatusItemType::Mode:
        showVoiceSettings();
        break;
    }
}

void ProgressPanel::startDrag(const QPoint& globalPress)
{
    // A window manager moves the panel as if by its caption; without one
    // (or where it refuses) the panel follows the mouse itself.
    if (QWindow* handle = windowHandle(); handle && handle->startSystemMove()) {
        dragging_ = false;
        return;
    }
    dragging_ = true;
    dragOffset_ = globalPress - pos();
}

void ProgressPanel::dragTo(const QPoint& globalPos)
{
    if (dragging_)
        move(globalPos - dragOffset_);
}

void ProgressPanel::endDrag()
{
    dragging_ = false;
}

void ProgressPanel::playTipCue()
{
    dictora::playTipCue(panel_.services().media);
}

void ProgressPanel::hideTip()
{
    if (TipWindow* tip = panel_.tipWindow())
        tip->HideTip();
}

void ProgressPanel::dictationModeChanged(bool dictationOn)
{
    if (ScreensaverWindow* screensaver = panel_.screensaver())
        screensaver->SetScreensaverOn(dictationOn);
    // Switching the screensaver on brings the study screen to the front; the
    // panel stays in front of it.
    if (isVisible())
        raise();
}

void ProgressPanel::showUnitList()
{
    if (UnitListDialog* list = panel_.unitList())
        list->ShowPopup(true);
}

void ProgressPanel::showVoiceSettings()
{
    if (QDialog* dialog = panel_.voiceSettings()) {
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
    }
}

void ProgressPanel::showModeMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    QAction* voice = menu.addAction(QStringLiteral("语音设置"));
    QAction* playback = menu.addAction(QString::fromUtf16(kPlaybackSettingsItemText));
    QAction* chosen = menu.exec(globalPos);
    if (chosen == voice)
        showVoiceSettings();
    else if (chosen == playback)
        PlaybackSettingsDialog(panel_.services().folder, panel_.services().player, this).exec();
}

void ProgressPanel::tick()
{
    if (geometry().contains(state_.cursorPos))
        fadeCount_ = kFadeTop;
    else if (fadeCount_ > -kFadeTop)
        --fadeCount_;
    if (fadeCount_ == kFadeTop && !opaque_) {
        opaque_ = true;
        setWindowOpacity(kOpaqueAlpha / 255.0);
    } else if (fadeCount_ == -kFadeTop && opaque_) {
        opaque_ = false;
        setWindowOpacity(kTranslucentAlpha / 255.0);
    }
}

} // namespace dictora
