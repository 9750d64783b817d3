// SPDX-License-Identifier: GPL-3.0-or-later
// What of the sentence list the floating windows keep off, and the scrolling
// that takes the current row out from under them.
#include "ui/study/sentence_list.h"

#include "core/study/row_clearance.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "ui/study/waveform_strip.h"
#include "ui/widgets/study_panel.h"

#include <QScrollBar>

namespace dictora {

namespace {

// The current row in the viewport, with the room of the waveform strip Edit
// mode shows under it, or over it where the list ends below the row. (The
// strip itself follows the row a moment later.)
QRect rowWithStrip(const SentenceList& list, const QRect& row, bool editMode)
{
    QRect work = row;
    if (!editMode)
        return work;
    if (row.bottom() + WaveformStrip::kHeight <= list.viewport()->rect().bottom())
        work.setBottom(row.bottom() + WaveformStrip::kHeight);
    else
        work.setTop(row.top() - WaveformStrip::kHeight);
    return work;
}

} // namespace

QRect SentenceList::workOnScreen() const
{
    if (!isVisible() || table_.rowCount() == 0)
        return {};
    QRect work;
    if (table_.isValidRow(state_.currentRow)) {
        work = rowWithStrip(*this, visualRect(table_.index(state_.currentRow, 0)), state_.editMode);
    } else {
        // No row chosen yet (a Unit just opened, the welcome rows): every row in view.
        const QRect first = visualRect(table_.index(0, 0));
        const QRect last = visualRect(table_.index(table_.rowCount() - 1, 0));
        work = first | last;
    }
    work &= viewport()->rect();
    if (work.isEmpty())
        return {};
    return {viewport()->mapToGlobal(work.topLeft()), work.size()};
}

void SentenceList::keepWorkClearOf(const QRect& cover)
{
    if (!table_.isValidRow(state_.currentRow))
        return;
    fitAboveStatusBar();
    RowClearanceInput in;
    in.view = viewport()->rect();
    in.work = rowWithStrip(*this, visualRect(table_.index(state_.currentRow, 0)), state_.editMode);
    in.cover = QRect(viewport()->mapFromGlobal(cover.topLeft()), cover.size());
    in.rowHeight = kRowHeight;
    const QScrollBar* bar = verticalScrollBar();
    // The list scrolls by whole rows: the bar counts rows.
    in.roomUp = bar->maximum() - bar->value();
    in.roomDown = bar->value() - bar->minimum();
    const int rows = rowsToClear(in);
    if (rows != 0)
        verticalScrollBar()->setValue(bar->value() + rows);
    currentRowRect = visualRect(table_.index(state_.currentRow, 0));
}

void SentenceList::fitAboveStatusBar()
{
    const FloatingWindows& floating = panel_.floating();
    const QRect status = floating.statusBar ? floating.statusBar() : QRect();
    const QRect list(mapToGlobal(QPoint(0, 0)), size());
    const int pixels = list.intersected(status).height();
    if (viewportMargins().bottom() != pixels)
        setViewportMargins(0, 0, 0, pixels);
}

void SentenceList::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    fitAboveStatusBar();
}

void SentenceList::showEvent(QShowEvent* event)
{
    QTableView::showEvent(event);
    fitAboveStatusBar();
}

} // namespace dictora
