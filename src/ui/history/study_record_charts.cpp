// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/history/study_record_charts.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <array>

namespace dictora {

namespace {

constexpr int kCell = 12;
constexpr int kGap = 3;
constexpr int kLeft = 28; // room for the weekday names
constexpr int kTop = 18;  // room for the month names

const std::array<QColor, 5> kShades{QColor(232, 232, 236), QColor(190, 226, 150),
                                    QColor(120, 198, 110), QColor(40, 150, 70), QColor(20, 92, 44)};

QString dayTip(const DayFigures& day)
{
    const QDate date = dayDate(day.day);
    return QStringLiteral("%1\n%2 句, %3 字, %4 分钟\n首次正确率 %5%")
        .arg(date.toString(QStringLiteral("yyyy-MM-dd")))
        .arg(day.sentences)
        .arg(day.characters)
        .arg(shownMinutes(day.seconds))
        .arg(qRound(day.firstTryAccuracy() * 100));
}

} // namespace

CalendarHeatmap::CalendarHeatmap(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("calendarHeatmap"));
    setMouseTracking(true);
}

void CalendarHeatmap::setData(const HistoryWindowData* data)
{
    data_ = data;
    first_ = data ? dayDate(data->firstDay) : QDate();
    last_ = data ? dayDate(data->lastDay) : QDate();
    updateGeometry();
    update();
}

QSize CalendarHeatmap::sizeHint() const
{
    return {kLeft + 54 * (kCell + kGap), kTop + 7 * (kCell + kGap) + 4};
}

QRect CalendarHeatmap::cellRect(const QDate& day) const
{
    // Weeks start on Monday; the first column holds the first day's week.
    const QDate firstMonday = first_.addDays(1 - first_.dayOfWeek());
    const int week = int(firstMonday.daysTo(day) / 7);
    const int weekday = day.dayOfWeek() - 1;
    return {kLeft + week * (kCell + kGap), kTop + weekday * (kCell + kGap), kCell, kCell};
}

QString CalendarHeatmap::dayAt(const QPoint& point) const
{
    if (!data_)
        return {};
    for (QDate day = first_; day <= last_; day = day.addDays(1))
        if (cellRect(day).contains(point))
            return dayStamp(day);
    return {};
}

void CalendarHeatmap::mouseMoveEvent(QMouseEvent* event)
{
    const QString day = dayAt(event->position().toPoint());
    if (day.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), dayTip(data_->figuresOf(day)), this);
}

void CalendarHeatmap::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!data_)
        return;
    QFont small = font();
    small.setPixelSize(10);
    painter.setFont(small);
    painter.setPen(QColor(110, 110, 120));
    const QStringList weekdays{QStringLiteral("一"), QStringLiteral("三"), QStringLiteral("五")};
    for (int k = 0; k < 3; ++k)
        painter.drawText(QRect(0, kTop + 2 * k * (kCell + kGap), kLeft - 6, kCell),
                         Qt::AlignRight | Qt::AlignVCenter, weekdays[k]);
    int lastMonth = -1;
    for (QDate day = first_; day <= last_; day = day.addDays(1)) {
        const QRect cell = cellRect(day);
        if (day.day() <= 7 && day.dayOfWeek() == 1 && day.month() != lastMonth) {
            lastMonth = day.month();
            painter.setPen(QColor(110, 110, 120));
            painter.drawText(cell.left(), kTop - 5, QStringLiteral("%1月").arg(day.month()));
        }
        const DayFigures figures = data_->figuresOf(dayStamp(day));
        painter.setPen(Qt::NoPen);
        painter.setBrush(kShades[size_t(heatLevel(figures.sentences))]);
        painter.drawRoundedRect(cell, 2, 2);
    }
}

DailyFiguresChart::DailyFiguresChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("dailyFigures"));
}

void DailyFiguresChart::setData(const HistoryWindowData* data)
{
    data_ = data;
    update();
}

QSize DailyFiguresChart::sizeHint() const
{
    return {820, 250};
}

void DailyFiguresChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!data_)
        return;
    const QDate last = dayDate(data_->lastDay);
    std::vector<DayFigures> days;
    for (int k = kDaysShown - 1; k >= 0; --k)
        days.push_back(data_->figuresOf(dayStamp(last.addDays(-k))));

    struct Series {
        QString name;
        QColor colour;
        std::function<double(const DayFigures&)> value;
    };
    const std::vector<Series> series{
        {QStringLiteral("句数"), QColor(60, 120, 200),
         [](const DayFigures& d) { return double(d.sentences); }},
        {QStringLiteral("字数"), QColor(230, 140, 30),
         [](const DayFigures& d) { return double(d.characters); }},
        {QStringLiteral("分钟"), QColor(120, 80, 180),
         [](const DayFigures& d) { return double(shownMinutes(d.seconds)); }},
    };
    const int labelWidth = 70;
    const int rowHeight = (height() - 70) / int(series.size());
    const double barWidth = double(width() - labelWidth - 10) / kDaysShown;
    QFont small = font();
    small.setPixelSize(11);
    painter.setFont(small);
    for (size_t s = 0; s < series.size(); ++s) {
        const int top = 4 + int(s) * rowHeight;
        double most = 0;
        for (const DayFigures& d : days)
            most = std::max(most, series[s].value(d));
        painter.setPen(QColor(80, 80, 90));
        painter.drawText(QRect(0, top, labelWidth - 6, rowHeight),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("%1\n最多 %2").arg(series[s].name).arg(qRound(most)));
        painter.setPen(Qt::NoPen);
        painter.setBrush(series[s].colour);
        for (size_t k = 0; k < days.size(); ++k) {
            const double v = series[s].value(days[k]);
            if (v <= 0 || most <= 0)
                continue;
            const double h = (rowHeight - 8) * v / most;
            painter.drawRect(QRectF(labelWidth + k * barWidth + 1, top + rowHeight - 4 - h,
                                    std::max(1.0, barWidth - 2), h));
        }
    }
    // First-try accuracy, day by day where there was a first try.
    const int top = 4 + int(series.size()) * rowHeight;
    const int h = height() - top - 18;
    painter.setPen(QColor(80, 80, 90));
    painter.drawText(QRect(0, top, labelWidth - 6, h), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("首次正确率"));
    painter.setPen(QColor(220, 220, 225));
    painter.drawLine(labelWidth, top + h, width() - 10, top + h);
    painter.drawLine(labelWidth, top, width() - 10, top);
    QPainterPath line;
    bool started = false;
    for (size_t k = 0; k < days.size(); ++k) {
        if (days[k].firstTries == 0)
            continue;
        const QPointF p(labelWidth + (k + 0.5) * barWidth,
                        top + h - h * days[k].firstTryAccuracy());
        if (started)
            line.lineTo(p);
        else
            line.moveTo(p);
        started = true;
    }
    painter.setPen(QPen(QColor(20, 150, 70), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(line);
    // A dot on every day with a first try: a lone day has no line to draw.
    painter.setBrush(QColor(20, 150, 70));
    for (int k = 0; k < line.elementCount(); ++k)
        painter.drawEllipse(QPointF(line.elementAt(k)), 2.5, 2.5);
    painter.setPen(QColor(110, 110, 120));
    painter.drawText(QRect(labelWidth, height() - 16, width() - labelWidth - 10, 14), Qt::AlignLeft,
                     last.addDays(-(kDaysShown - 1)).toString(QStringLiteral("MM-dd")));
    painter.drawText(QRect(labelWidth, height() - 16, width() - labelWidth - 10, 14),
                     Qt::AlignRight, last.toString(QStringLiteral("MM-dd")));
}

} // namespace dictora
