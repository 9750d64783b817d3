// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/row_editing.h"

#include "core/study/number_text.h"
#include "core/study/sentence_table.h"
#include "core/study/stamp.h"

#include <algorithm>
#include <cstdint>

namespace dictora {

namespace {

int64_t timeOf(const SentenceTable& table, int row, int field)
{
    return textToUInt(table.field(row, field));
}

// Times are stored unsigned: a result below 0 would wrap to a huge time, so
// it ends at 0 (an end of 0 already means "until the next sentence starts").
void storeTime(SentenceTable& table, int row, int field, int64_t value)
{
    const int64_t clipped = std::clamp<int64_t>(value, 0, UINT32_MAX);
    table.setField(row, field, uintText(uint32_t(clipped)));
}

} // namespace

void InsertRow(SentenceTable& table, int index, bool notebook)
{
    index = std::clamp(index, 0, table.rowCount());
    SentenceRow row;
    row[Kind] = QStringLiteral("1");
    row[StartMs] = QStringLiteral("0");
    row[EndMs] = QStringLiteral("0");
    row[Done] = QStringLiteral("0");
    row[Level] = QStringLiteral("0");
    row[StudiedAt] = kDefaultStampText;
    row[MediaLengthMs] = QStringLiteral("0");
    if (!notebook && index > 0) {
        const SentenceRow& before = table.row(index - 1);
        row[StartMs] = before[EndMs];
        for (int field : {SectionTitle, MediaPath, MediaName, MediaLengthMs})
            row[size_t(field)] = before[size_t(field)];
    }
    if (!notebook && index < table.rowCount())
        row[EndMs] = table.field(index, StartMs);
    table.insertRow(index, std::move(row));
}

TimeShift ShiftTime(SentenceTable& table, int row, int deltaMs, bool wholeSpan, int point,
                    bool notebook)
{
    TimeShift result;
    if (!table.isValidRow(row))
        return result;
    const int64_t s = timeOf(table, row, StartMs);
    const int64_t e = timeOf(table, row, EndMs);
    int64_t delta = deltaMs;

    if (wholeSpan) {
        const int64_t floor = notebook || row == 0 ? 0 : timeOf(table, row - 1, EndMs);
        delta = std::max(delta, floor - s);
        if (delta == 0)
            return result;
        int last = row;
        if (!notebook) {
            while (last + 1 < table.rowCount() && !table.isTitleRow(last + 1))
                ++last;
        }
        for (int r = row; r <= last; ++r) {
            storeTime(table, r, StartMs, timeOf(table, r, StartMs) + delta);
            storeTime(table, r, EndMs, timeOf(table, r, EndMs) + delta);
            result.repaints.push_back({r, 1});
        }
        result.changed = true;
        return result;
    }

    if (point == 1) {
        const int64_t floor = notebook || row == 0 ? 0 : timeOf(table, row - 1, StartMs);
        delta = std::max(delta, floor - s);
        delta = std::min(delta, e - s);
        if (delta == 0)
            return result;
        // The previous sentence ends where this one now starts.
        if (!notebook && row > 0 && s + delta < timeOf(table, row - 1, EndMs)) {
            storeTime(table, row - 1, EndMs, s + delta);
            result.repaints.push_back({row - 1, 3});
        }
        storeTime(table, row, StartMs, s + delta);
        result.repaints.push_back({row, 2});
        result.changed = true;
        return result;
    }

    if (point == 2) {
        const bool nextIsSentence =
            !notebook && row + 1 < table.rowCount() && !table.isTitleRow(row + 1);
        if (nextIsSentence)
            delta = std::min(delta, timeOf(table, row + 1, EndMs) - e);
        delta = std::max(delta, s - e);
        if (delta == 0)
            return result;
        // The next sentence starts where this one now ends.
        if (nextIsSentence && timeOf(table, row + 1, StartMs) < e + delta) {
            storeTime(table, row + 1, StartMs, e + delta);
            result.repaints.push_back({row + 1, 2});
        }
        storeTime(table, row, EndMs, e + delta);
        result.repaints.push_back({row, 3});
        result.changed = true;
    }
    return result;
}

int deleteSectionRows(SentenceTable& table, int row)
{
    if (!table.isValidRow(row))
        return 0;
    int end = row + 1;
    while (end < table.rowCount() && !table.isTitleRow(end))
        ++end;
    table.removeRows(row, end - row);
    return end - row;
}

void toggleTitleRow(SentenceTable& table, int row)
{
    if (!table.isValidRow(row))
        return;
    table.setField(row, Kind, table.isTitleRow(row) ? QStringLiteral("1") : QStringLiteral("0"));
}

QString sectionDeleteQuestion(const SentenceTable& table, int row, const QString& unitName)
{
    // The longest piece of the first sentence shown; more is cut with "…".
    constexpr int kShownLength = 24;
    QString which = QStringLiteral("第 %1 行").arg(row + 1);
    if (table.isValidRow(row + 1) && !table.isTitleRow(row + 1)) {
        const QString first = table.field(row + 1, Text).simplified();
        which += QStringLiteral(", 首句: ") +
                 (first.size() > kShownLength ? first.left(kShownLength) + QChar(0x2026) : first);
    } else {
        which += QStringLiteral(", 没有句子");
    }
    return QStringLiteral("确认删除 %1 里面 %2 (%3) 所有内容 ?")
        .arg(unitName, table.field(row, SectionTitle), which);
}

} // namespace dictora
