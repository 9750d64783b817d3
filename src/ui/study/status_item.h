// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/status_item_texts.h"

#include <QColor>
#include <QPoint>
#include <QTimer>
#include <QWidget>

namespace dictora {

class ProgressPanel;
struct StudyState;

// One clickable field of the progress panel: a label over a value on a
// coloured ground. It lights up under the mouse (with the tip cue), runs its
// panel's action on a click and hands a press that moves on to the panel, so
// the panel can be dragged by any of its items.
class StatusItem : public QWidget {
    Q_OBJECT
public:
    // A press that moves further than this in x or y drags the panel instead
    // of clicking.
    static constexpr int kClickSlop = 3;
    static constexpr int kFontPoints = 13;

    StatusItem(ProgressPanel& panel, StatusItemType type);

    StatusItemType type() const { return type_; }
    const QString& label() const { return texts_.label; }
    const QString& value() const { return texts_.value; }
    bool hovered() const { return hovered_; }
    bool pressed() const { return pressed_; }
    // The ground the item is painted on now.
    QColor backgroundColour() const;

    // Shows new texts; repaints only when they differ from the shown ones.
    void setTexts(const StatusTexts& texts);
    // Recomputes the texts from the panel's figures (the mode item: from the
    // modes) and repaints when they changed.
    void refreshTexts();
    // Whether the mouse is over this item, as the frame last saw it.
    bool underCursor() const;

    // One tick of the 20 ms timer: hover on and off; the mode item also
    // recomputes its texts. Public so tests can step it.
    void tick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refreshMode();

    ProgressPanel& panel_;
    const StudyState& state_;
    StatusItemType type_;
    StatusTexts texts_;
    QColor paintedGround_;
    bool hovered_ = false;
    bool pressed_ = false;
    QPoint pressPoint_;
    QTimer timer_;
};

} // namespace dictora
