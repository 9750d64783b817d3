// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/study/status_item.h"

#include "core/study/review_mark_file.h"
#include "core/study/study_state.h"
#include "ui/study/progress_panel.h"
#include "ui/widgets/ui_font.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cstdlib>

namespace dictora {

namespace {

const QColor kHoverGround{230, 128, 0};
const QColor kDictationGround{64, 255, 64};
const QColor kEditGround{255, 128, 255};
const QColor kPlainGround{255, 230, 0};
const QColor kHoverText{255, 255, 255};
const QColor kPlainText{0, 0, 8};

} // namespace

StatusItem::StatusItem(ProgressPanel& panel, StatusItemType type)
    : QWidget(&panel), panel_(panel), state_(panel.state()), type_(type)
{
    setObjectName(QStringLiteral("statusItem%1").arg(int(type)));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &StatusItem::tick);
    timer_.start(20);
}

QColor StatusItem::backgroundColour() const
{
    if (hovered_)
        return kHoverGround;
    if (type_ == StatusItemType::Mode) {
        if (state_.dictationMode)
            return kDictationGround;
        if (state_.editMode)
            return kEditGround;
    }
    return kPlainGround;
}

void StatusItem::setTexts(const StatusTexts& texts)
{
    if (texts == texts_)
        return;
    texts_ = texts;
    update();
}

bool StatusItem::underCursor() const
{
    if (!isVisible())
        return false;
    // The frame's probe names top-level windows; the item counts as under
    // the cursor when its panel is and the cursor is inside the item.
    if (state_.windowUnderCursor != this && state_.windowUnderCursor != window())
        return false;
    return QRect(mapToGlobal(QPoint(0, 0)), size()).contains(state_.cursorPos);
}

void StatusItem::tick()
{
    const bool under = underCursor();
    if (under && !hovered_) {
        hovered_ = true;
        update();
        panel_.playTipCue();
    } else if (!under && hovered_) {
        hovered_ = false;
        update();
        panel_.hideTip();
    }
    if (type_ == StatusItemType::Mode)
        refreshTexts();
}

void StatusItem::refreshTexts()
{
    if (type_ == StatusItemType::Mode)
        refreshMode();
    else
        setTexts(statusItemTexts(type_, panel_.figures(), state_));
}

void StatusItem::refreshMode()
{
    const QString before = texts_.label;
    const QString now = modeName(state_);
    // Under the mode: how many rows still wait for the learner's look.
    const QString waiting = reviewWaitingText(panel_.reviewWaiting());
    const QColor ground = backgroundColour();
    if (ground != paintedGround_)
        update();
    if (waiting != texts_.value) {
        texts_.value = waiting;
        update();
    }
    if (now == before)
        return;
    texts_.label = now;
    update();
    if ((before == kDictationModeName) != (now == kDictationModeName))
        panel_.dictationModeChanged(now == kDictationModeName);
    panel_.hideTip();
}

void StatusItem::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    paintedGround_ = backgroundColour();
    painter.fillRect(rect(), paintedGround_);
    QFont font = uiFont();
    font.setPointSize(kFontPoints);
    painter.setFont(font);
    painter.setPen(hovered_ ? kHoverText : kPlainText);
    const int w = width();
    const int h = height();
    if (type_ == StatusItemType::Mode && texts_.value.isEmpty()) {
        painter.drawText(QRect(0, h / 4, w, h - h / 4), Qt::AlignHCenter | Qt::AlignTop,
                         texts_.label);
        return;
    }
    painter.drawText(QRect(0, 0, w, h / 2), Qt::AlignCenter, texts_.label);
    painter.drawText(QRect(0, h / 2, w, h - h / 2), Qt::AlignCenter, texts_.value);
}

void StatusItem::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    pressPoint_ = event->globalPosition().toPoint();
    pressed_ = true;
}

void StatusItem::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->globalPosition().toPoint();
    if (panel_.dragging()) {
        panel_.dragTo(at);
        return;
    }
    if (!pressed_)
        return;
    if (std::abs(at.x() - pressPoint_.x()) > kClickSlop ||
        std::abs(at.y() - pressPoint_.y()) > kClickSlop) {
        pressed_ = false;
        panel_.startDrag(pressPoint_);
        panel_.dragTo(at);
    }
}

void StatusItem::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        panel_.DockPanel();
        // The mode item also offers the voice and playback settings.
        if (type_ == StatusItemType::Mode)
            panel_.showModeMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (panel_.dragging()) {
        panel_.endDrag();
        return;
    }
    if (!pressed_)
        return;
    pressed_ = false;
    panel_.itemClicked(type_);
}

void StatusItem::keyPressEvent(QKeyEvent* event)
{
    event->accept();
}

} // namespace dictora
