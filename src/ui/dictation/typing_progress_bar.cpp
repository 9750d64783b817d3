// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dictation/typing_progress_bar.h"

#include "core/dictation/answer_submission.h"

#include <QPainter>

namespace dictora {

TypingProgressBar::TypingProgressBar(QWidget* form) : QWidget(form)
{
    setObjectName(QStringLiteral("typingProgressBar"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(0, 0);
}

void TypingProgressBar::setPercent(int percent, int formWidth, bool dictationMode)
{
    if (!dictationMode) {
        percent_ = 0;
        // Hidden, not only shrunk: a native window shrunk to nothing is
        // unmapped without the form being asked to paint where it was, and
        // the last bar stayed on the screen.
        if (isVisible() && parentWidget())
            parentWidget()->update(geometry());
        setGeometry(0, 0, 0, 0);
        hide();
        return;
    }
    percent_ = std::min(percent, kMaxPercent);
    setGeometry(20, 1, std::max(0, progressBarWidth(percent_, formWidth)), 7);
    show();
    raise();
    update();
}

QColor TypingProgressBar::colour() const
{
    if (percent_ < 100)
        return {240, 160, 16};
    if (percent_ == 100)
        return {8, 240, 8};
    return {255, 0, 0};
}

void TypingProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), colour());
}

} // namespace dictora
