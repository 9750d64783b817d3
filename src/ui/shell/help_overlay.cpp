// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shell/help_overlay.h"

#include "core/shell/window_placement.h"
#include "core/study/study_state.h"
#include "ui/widgets/ui_font.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

namespace dictora {

namespace {

constexpr int kWidth = 820;
constexpr int kLineHeight = 34;
constexpr int kTop = 78;    // below the title
constexpr int kBottom = 56; // room for the closing hint
constexpr int kGestureWidth = 250;

const QColor kCard{36, 52, 44};
const QColor kBorder{120, 170, 130};
const QColor kTitle{255, 255, 255};
const QColor kGesture{255, 214, 120};
const QColor kEffect{230, 236, 232};
const QColor kFooter{160, 180, 168};

QPointer<HelpOverlay> theOverlay;

QFont fontOf(int pixelSize, bool bold = false)
{
    QFont font = uiFont();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

HelpOverlay::HelpOverlay(const StudyState& state, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), state_(state)
{
    setObjectName(QStringLiteral("helpOverlay"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

HelpOverlay* HelpOverlay::instance(const StudyState& state, QWidget* owner)
{
    if (!theOverlay)
        theOverlay = new HelpOverlay(state, owner);
    return theOverlay;
}

void HelpOverlay::showHelp()
{
    if (theOverlay)
        theOverlay->showForCurrentMode();
}

void HelpOverlay::showForCurrentMode()
{
    mode_ = helpModeOf(state_.editMode, state_.dictationMode, state_.lineByLineMode);
    lines_ = helpLines(mode_);
    const QScreen* screen = parentWidget() && parentWidget()->screen()
                                ? parentWidget()->screen()
                                : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const QSize size(kWidth, kTop + int(lines_.size()) * kLineHeight + kBottom);
    setGeometry(centredOn(size, area, area));
    update();
    show();
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void HelpOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.fillRect(rect(), kCard);
    painter.setPen(QPen(kBorder, 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));

    painter.setPen(kTitle);
    painter.setFont(fontOf(26, true));
    painter.drawText(QRect(28, 18, width() - 56, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("帮助 - ") + helpTitle(mode_));

    int y = kTop;
    for (const HelpLine& line : lines_) {
        painter.setFont(fontOf(17, true));
        painter.setPen(kGesture);
        painter.drawText(QRect(28, y, kGestureWidth, kLineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         line.gesture);
        painter.setFont(fontOf(17));
        painter.setPen(kEffect);
        painter.drawText(
            QRect(28 + kGestureWidth + 12, y, width() - kGestureWidth - 68, kLineHeight),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, line.effect);
        y += kLineHeight;
    }
    painter.setFont(fontOf(15));
    painter.setPen(kFooter);
    painter.drawText(QRect(28, height() - kBottom + 12, width() - 56, 30),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("按任意键或单击关闭"));
}

void HelpOverlay::keyPressEvent(QKeyEvent*)
{
    hide();
}

void HelpOverlay::mousePressEvent(QMouseEvent*)
{
    hide();
}

} // namespace dictora
