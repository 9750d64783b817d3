// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/history/study_record.h"

#include <QDate>

namespace dictora {

inline constexpr int kCalendarDays = 365;
inline constexpr int kMissedWordCount = 30;
inline constexpr int kLongestHistoryDays = 3660;

// What the study record window and dictora-cli history show: the figures of
// the last dayCount days up to today, and the most-missed words.
struct HistoryWindowData {
    QString firstDay;       // "%Y%m%d"
    QString lastDay;        // today
    QList<DayFigures> days; // days with answers only, in order
    QList<MissedWord> missedWords;

    // The figures of a day, empty ones for a day without answers.
    DayFigures figuresOf(const QString& day) const;
    // Sums over all days shown.
    DayFigures totals() const;
};

HistoryWindowData readHistory(const StudyRecord& record, TimeValue now,
                              int dayCount = kCalendarDays);

QDate dayDate(const QString& dayStamp);
QString dayStamp(const QDate& date);

// The shade of a calendar cell: 0 for no right answer, then 1 to 4 for up to
// 4, 9, 19 and 20 or more sentences.
int heatLevel(int sentences);

// Minutes as the record window shows them, in its summary, its day tips and
// its chart alike: rounded to the nearest minute.
int shownMinutes(int seconds);

} // namespace dictora
