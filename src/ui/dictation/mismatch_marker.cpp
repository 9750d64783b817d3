// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dictation/mismatch_marker.h"

#include <QPainter>

namespace dictora {

MismatchMarker::MismatchMarker(QWidget* form) : QWidget(form)
{
    setObjectName(QStringLiteral("mismatchMarker"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(kWidth, kHeight);
    hide();
}

void MismatchMarker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(255, 0, 0));
}

} // namespace dictora
