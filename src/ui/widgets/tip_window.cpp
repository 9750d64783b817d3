// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/tip_window.h"

#include "ui/widgets/screen_places.h"

#include "core/study/study_state.h"
#include "ui/widgets/resource_picture.h"
#include "ui/widgets/ui_font.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace dictora {

namespace {

constexpr int kScreenMargin = 5;
// Ticks after which the tip hides: 20 ticks (0.4 s) once the cursor has left
// the owner, 120 ticks (2.4 s) without an owner.
constexpr int kLeftOwnerCount = 100;
constexpr int kHideAbove = 119;

} // namespace

TipWindow::TipWindow(QWidget* owner, const StudyState& state, int screenWidth)
    : LayeredWindow(owner,
                    Qt::ToolTip | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus),
      state_(state), screenWidth_(screenWidth),
      background_(LoadResourcePicture(res::kTipBackground))
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TipWindow::tick);
    timer_.start(20);
}

void TipWindow::ShowTip(int x, int y, const QString& text, QWidget* owner)
{
    if (heldBack_ && heldBack_())
        return;
    if (visible_ && text == text_ && owner == owner_ && hasOwner_ == (owner != nullptr))
        return;
    visible_ = true;
    width_ = widthFor(text);
    if (x < 0)
        x = kScreenMargin;
    if (x + width_ > screenWidth_ - kScreenMargin)
        x = screenWidth_ - width_ - kScreenMargin;
    // A text wider than the screen keeps its beginning on it.
    if (x < kScreenMargin)
        x = kScreenMargin;
    // Near the bottom of the screen (a hint at the cursor there) the tip
    // moves up so it is read whole.
    const QRect area = workAreaOf(this);
    if (!area.isEmpty())
        y = std::clamp(y, area.top(), std::max(area.top(), area.bottom() + 1 - kHeight));
    x_ = x;
    y_ = y;
    text_ = text;
    owner_ = owner;
    hasOwner_ = owner != nullptr;
    setGeometry(x_, y_, width_, kHeight);
    draw();
    show();
}

void TipWindow::HideTip(int keepShown)
{
    if (keepShown != 0)
        return;
    visible_ = false;
    hide();
}

QRect TipWindow::ownerRect() const
{
    if (!owner_)
        return {};
    return QRect(owner_->mapToGlobal(QPoint(0, 0)), owner_->size());
}

void TipWindow::tick()
{
    if (!visible_) {
        leaveCount_ = 0;
        return;
    }
    if (heldBack_ && heldBack_()) {
        HideTip();
        return;
    }
    if (hasOwner_ && leaveCount_ < kLeftOwnerCount) {
        if (owner_ && owner_ == dictationWindow_)
            leaveCount_ = 0;
        else if (!owner_ || !ownerRect().contains(state_.cursorPos))
            leaveCount_ = kLeftOwnerCount; // an owner that is gone counts as left
        else
            leaveCount_ = 0;
    }
    if (leaveCount_ > kHideAbove) {
        visible_ = false;
        hide();
        leaveCount_ = 0;
    } else {
        ++leaveCount_;
    }
}

void TipWindow::draw()
{
    PushLayeredPicture(this, [this](QPainter& painter, const QSize& size) {
        if (!background_.isNull())
            painter.drawImage(QRect(QPoint(0, 0), size), background_);
        // The text is a filled outline, as hints look the same on any
        // background; the layout box starts 3 pixels down, centred across.
        QFont font = uiFont();
        font.setPixelSize(25);
        const QFontMetricsF metrics(font);
        const qreal x = (size.width() - metrics.horizontalAdvance(text_)) / 2;
        QPainterPath path;
        path.addText(QPointF(x, 3 + metrics.ascent()), font, text_);
        painter.fillPath(path, QColor(128, 255, 255, 255));
    });
}

} // namespace dictora
