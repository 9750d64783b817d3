// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/status_item_texts.h"
#include "ui/widgets/layered_window.h"

#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <array>

namespace dictora {

class StudyPanel;
class StatusItem;
class UnitLibrary;
struct StudyState;

// The strip along the bottom of the work area with the four status items:
// overall completion, the open Unit and its settings, today's completion with
// the time left, and the mode. Only the items take the mouse; the rest of the
// strip is see-through and lets clicks through. It turns opaque under the
// mouse and almost transparent five seconds after the mouse has left.
class ProgressPanel : public LayeredWindow {
    Q_OBJECT
public:
    static constexpr int kHeight = 80;
    static constexpr int kItemsWidth = 750;
    static constexpr int kItemTop = 10;
    static constexpr int kItemHeight = 60;
    static constexpr int kOpaqueAlpha = 255;
    // Away from the mouse the bar recedes but stays readable: at a lower
    // alpha a compositing manager draws its text all but invisible.
    static constexpr int kTranslucentAlpha = 170;
    // The fade counter: 25 under the mouse, one step down per 100 ms tick
    // after it left, translucent at -25.
    static constexpr int kFadeTop = 25;

    ProgressPanel(StudyPanel& panel, QWidget* owner);

    // Recomputes the four items' texts and repaints those that changed.
    void RefreshPanel();
    // Puts the panel back at its place along the bottom of the work area.
    void DockPanel();

    // The figures the items show, read from the unit library.
    StatusFigures figures() const;
    // How many rows of the open Unit wait for the learner's look.
    int reviewWaiting() const;
    StatusItem* item(StatusItemType type) const { return items_[int(type)]; }
    StudyPanel& mainPanel() { return panel_; }
    const StudyState& state() const { return state_; }

    // The place the panel docks to: as wide as the screen, along the bottom
    // of the work area.
    static QRect dockedRect(const QRect& screen, const QRect& workArea);
    // The rectangle of an item inside a panel of the given width.
    static QRect itemRect(StatusItemType type, int panelWidth);

    bool opaque() const { return opaque_; }
    int fadeCount() const { return fadeCount_; }

    // --- called by the items ---
    // The click action of an item.
    void itemClicked(StatusItemType type);
    // A press that moved on: the panel follows the mouse as if dragged by its
    // caption, from the press at this screen point.
    void startDrag(const QPoint& globalPress);
    void dragTo(const QPoint& globalPos);
    void endDrag();
    bool dragging() const { return dragging_; }
    // Plays the tip cue ("Play TIP_WAV From 0 ").
    void playTipCue();
    void hideTip();
    // The mode item's label went into or out of Dictation mode.
    void dictationModeChanged(bool dictationOn);
    // Shows the unit library pop-up; the voice settings dialog.
    void showUnitList();
    void showVoiceSettings();
    // The mode item's menu at a screen point: "语音设置" and "播放设置".
    void showModeMenu(const QPoint& globalPos);

    // One tick of the 100 ms fade timer. Public so tests can step it.
    void tick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeItems();
    void followOwner();

    StudyPanel& panel_;
    const StudyState& state_;
    UnitLibrary* library_;
    std::array<StatusItem*, 4> items_{};
    int fadeCount_ = kFadeTop;
    bool opaque_ = true;
    bool dragging_ = false;
    // The window the panel was last shown above (its owner or the frame).
    QPointer<QWidget> shownAbove_;
    QPoint dragOffset_;
    QTimer timer_;
};

} // namespace dictora
