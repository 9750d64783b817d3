// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/history/study_record_button.h"

#include "ui/history/study_record_window.h"
#include "ui/widgets/ui_font.h"

#include <QMouseEvent>
#include <QPainter>

namespace dictora {

StudyRecordButton::StudyRecordButton(StudyPanel& panel, QWidget* progressPanel)
    : QWidget(progressPanel), panel_(panel)
{
    setObjectName(QStringLiteral("studyRecordButton"));
    setToolTip(QStringLiteral("学习记录"));
    setCursor(Qt::PointingHandCursor);
}

QRect StudyRecordButton::placeBeside(const QRect& modeItem)
{
    return {modeItem.right() + 6, modeItem.top(), kWidth, modeItem.height()};
}

void StudyRecordButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), hover_ ? QColor(230, 128, 0) : QColor(255, 230, 0));
    QFont font = uiFont();
    font.setPointSize(11);
    painter.setFont(font);
    painter.setPen(hover_ ? QColor(Qt::white) : QColor(0, 0, 8));
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("学习\n记录"));
}

void StudyRecordButton::enterEvent(QEnterEvent*)
{
    hover_ = true;
    update();
}

void StudyRecordButton::leaveEvent(QEvent*)
{
    hover_ = false;
    update();
}

void StudyRecordButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        showStudyRecord(panel_);
}

} // namespace dictora
