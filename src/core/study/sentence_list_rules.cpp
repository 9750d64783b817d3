// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/sentence_list_rules.h"

#include "core/study/number_text.h"


#include <algorithm>

namespace dictora {

QString timePointText(uint32_t ms)
{
    const uint32_t hh = ms / 3600000;
    const uint32_t mm = ms / 60000 - 60 * hh;
    const uint32_t ss = ms / 1000 - 60 * (ms / 60000);
    const uint32_t cc = (ms % 1000) / 10;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(hh, 2, 10, QLatin1Char('0'))
        .arg(mm, 2, 10, QLatin1Char('0'))
        .arg(ss, 2, 10, QLatin1Char('0'))
        .arg(cc, 2, 10, QLatin1Char('0'));
}

RowMarker rowMarker(const SentenceRow& row, const QString& today)
{
    const int done = textToInt(row[Done]);
    const int level = textToInt(row[Level]);
    if (done == 1 && row[StudiedAt].left(8) == today)
        return level < 2 ? RowMarker::TodayWeak : RowMarker::TodayStrong;
    if (level > 0)
        return RowMarker::LearnedBefore;
    return RowMarker::New;
}

int timePointAt(int x)
{
    if (x >= 31 && x <= 179)
        return 1;
    if (x >= 181 && x <= 329)
        return 2;
    return -1;
}

ListClick listClick(const SentenceTable& table, int row, int currentRow, bool editMode,
                    bool doubleClick)
{
    ListClick click;
    if (row < 0 || currentRow < 0) {
        click.forgetPoint = true;
        return click;
    }
    if (row != currentRow)
        return click;
    if (doubleClick) {
        click.openTitle = table.isTitleRow(row) && editMode;
    } else if (!table.isTitleRow(row)) {
        click.pickTimePoint = editMode;
        click.togglePlayback = true;
    } else if (editMode) {
        click.tip = QStringLiteral("双击配置");
    }
    return click;
}

int pagingTarget(int rowTop, int row, int viewHeight, int rowCount, int rowHeight)
{
    if (rowTop < rowHeight)
        return row > 0 ? row - 1 : -1;
    const int visibleRows = viewHeight / rowHeight;
    if (visibleRows - rowTop / rowHeight >= 3)
        return -1;
    return std::clamp(visibleRows + row - 2, 0, std::max(rowCount - 1, 0));
}

int weightedNameLength(const QString& name)
{
    int length = 0;
    for (const QChar c : name)
        length += c.unicode() < 256 ? 1 : 2;
    return length;
}

int unitPopupWidth(const QStringList& names)
{
    int longest = 0;
    for (const QString& name : names)
        longest = std::max(longest, weightedNameLength(name));
    return std::max(16 * longest + 90, 300);
}

int unitPopupHeight(int unitCount)
{
    return std::max(35 * (unitCount + 2), 200);
}

} // namespace dictora
