// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/history/history_window_data.h"

#include <QWidget>

namespace dictora {

// The last 365 days as a calendar: one column a week, Monday at the top, each
// day shaded by how many sentences were answered right.
class CalendarHeatmap : public QWidget {
    Q_OBJECT
public:
    explicit CalendarHeatmap(QWidget* parent = nullptr);
    void setData(const HistoryWindowData* data);
    // The day drawn at a point, or empty.
    QString dayAt(const QPoint& point) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QRect cellRect(const QDate& day) const;

    const HistoryWindowData* data_ = nullptr;
    QDate first_;
    QDate last_;
};

// Per-day bars of the last days: sentences, characters and minutes, each on
// its own row, and the first-try accuracy as a line over them.
class DailyFiguresChart : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDaysShown = 60;

    explicit DailyFiguresChart(QWidget* parent = nullptr);
    void setData(const HistoryWindowData* data);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const HistoryWindowData* data_ = nullptr;
};

} // namespace dictora
