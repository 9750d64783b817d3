// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/sentence_table.h"

#include <QString>
#include <QStringList>

namespace dictora {

// A time point as the sentence list shows it: "hh:mm:ss.cc".
QString timePointText(uint32_t ms);

// The status marker at the left of a sentence row.
enum class RowMarker {
    New,           // never learned: only the light strip
    LearnedBefore, // level above 0: green gradient
    TodayWeak,     // learned today, level 0 or 1: red gradient
    TodayStrong,   // learned today, level 2 or more: solid green
};
// today is the day stamp "%Y%m%d".
RowMarker rowMarker(const SentenceRow& row, const QString& today);

// Which time point of a sentence row an x position (in the list's client
// coordinates) falls on in Edit mode: 1 start, 2 end, -1 neither.
int timePointAt(int x);

// A click (or double click) of the left button on a row of the list, once
// it is plain that it did not select the row: what it does.
struct ListClick {
    bool forgetPoint = false;    // off the rows, or no row current: no time point is chosen
    bool pickTimePoint = false;  // Edit mode: the time point under the cursor
    bool togglePlayback = false; // pause, resume or replay the sentence
    bool openTitle = false;      // the Section's add-content dialog
    QString tip;                 // shown near the cursor, empty for none
};
// row: the row clicked, below 0 for none.
ListClick listClick(const SentenceTable& table, int row, int currentRow, bool editMode,
                    bool doubleClick);

// The paging rule of the sentence list: after a row was selected whose top
// lies rowTop pixels below the list's top, the row to make visible so that
// the selected row sits neither in the first nor in the last two visible
// lines, or -1 when nothing needs to scroll. viewHeight is the height the
// list has for rows.
int pagingTarget(int rowTop, int row, int viewHeight, int rowCount, int rowHeight);

// The unit library pop-up's size: 16 pixels per weighted character of the
// longest name (a character below 256 weighs 1, any other 2) plus 90, at
// least 300 wide; 35 pixels per Unit plus two rows, at least 200 high.
int weightedNameLength(const QString& name);
int unitPopupWidth(const QStringList& names);
int unitPopupHeight(int unitCount);

} // namespace dictora
