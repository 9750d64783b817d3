// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/history_window_data.h"

#include <algorithm>

namespace dictora {

QDate dayDate(const QString& dayStamp)
{
    return QDate::fromString(dayStamp, QStringLiteral("yyyyMMdd"));
}

QString dayStamp(const QDate& date)
{
    return date.toString(QStringLiteral("yyyyMMdd"));
}

DayFigures HistoryWindowData::figuresOf(const QString& day) const
{
    const auto found =
        std::lower_bound(days.cbegin(), days.cend(), day,
                         [](const DayFigures& d, const QString& s) { return d.day < s; });
    if (found != days.cend() && found->day == day)
        return *found;
    DayFigures empty;
    empty.day = day;
    return empty;
}

DayFigures HistoryWindowData::totals() const
{
    DayFigures sum;
    for (const DayFigures& d : days) {
        sum.sentences += d.sentences;
        sum.characters += d.characters;
        sum.seconds += d.seconds;
        sum.firstTries += d.firstTries;
        sum.firstTryRight += d.firstTryRight;
    }
    return sum;
}

HistoryWindowData readHistory(const StudyRecord& record, TimeValue now, int dayCount)
{
    HistoryWindowData data;
    const QDate today = dayDate(FormatDayStamp(now));
    data.lastDay = dayStamp(today);
    data.firstDay = dayStamp(today.addDays(-(std::max(dayCount, 1) - 1)));
    data.days = record.dayFigures(data.firstDay, data.lastDay);
    data.missedWords = record.mostMissedWords(kMissedWordCount);
    return data;
}

int shownMinutes(int seconds)
{
    return (std::max(seconds, 0) + 30) / 60;
}

int heatLevel(int sentences)
{
    if (sentences <= 0)
        return 0;
    if (sentences <= 4)
        return 1;
    if (sentences <= 9)
        return 2;
    if (sentences <= 19)
        return 3;
    return 4;
}

} // namespace dictora
