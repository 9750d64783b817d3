// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shell/help_overlay.h"

#include "core/shell/window_placement.h"
#include "core/study/study_state.h"
#include "ui/widgets/ui_font.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

#include <algorithm>

namespace dictora {

namespace {

constexpr int kWidth = 820;
constexpr int kLineHeight = 34; // a line of one row of text
constexpr int kLinePadding = 10;
constexpr int kEffectLeft = 28 + 250 + 12;
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

bool HelpOverlay::helpShown()
{
    return theOverlay && theOverlay->isVisible();
}

void HelpOverlay::showForCurrentMode()
{
    mode_ = helpModeOf(state_.editMode, state_.dictationMode, state_.lineByLineMode);
    lines_ = helpLines(mode_);
    const QScreen* screen = parentWidget() && parentWidget()->screen()
                                ? parentWidget()->screen()
                                : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    // Each line as tall as its wrapped effect; a smaller type where the card
    // would not fit the screen otherwise.
    int height = 0;
    for (textPixels_ = 17; textPixels_ >= 12; --textPixels_) {
        const QFontMetrics metrics(fontOf(textPixels_));
        const QFontMetrics gestureMetrics(fontOf(textPixels_, true));
        const int effectWidth = kWidth - kEffectLeft - 40;
        lineHeights_.clear();
        height = kTop + kBottom;
        for (const HelpLine& line : lines_) {
            const int effect =
                metrics.boundingRect(QRect(0, 0, effectWidth, 10000), Qt::TextWordWrap, line.effect)
                    .height();
            const int gesture =
                gestureMetrics
                    .boundingRect(QRect(0, 0, kGestureWidth, 10000), Qt::TextWordWrap, line.gesture)
                    .height();
            lineHeights_ << std::max(kLineHeight * textPixels_ / 17,
                                     std::max(effect, gesture) + kLinePadding);
            height += lineHeights_.last();
        }
        if (area.isEmpty() || height <= area.height())
            break;
    }
    setGeometry(centredOn(QSize(kWidth, height), area, area));
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
    for (qsizetype k = 0; k < lines_.size() && k < lineHeights_.size(); ++k) {
        const HelpLine& line = lines_[k];
        const int lineHeight = lineHeights_[k];
        painter.setFont(fontOf(textPixels_, true));
        painter.setPen(kGesture);
        painter.drawText(QRect(28, y, kGestureWidth, lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, line.gesture);
        painter.setFont(fontOf(textPixels_));
        painter.setPen(kEffect);
        painter.drawText(QRect(kEffectLeft, y, width() - kEffectLeft - 40, lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, line.effect);
        y += lineHeight;
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
