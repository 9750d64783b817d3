// SPDX-License-Identifier: GPL-3.0-or-later
// The row edits of the sentence list in Edit mode: insert, shift and drag
// the time points, delete a row or a whole section.
#include "ui/study/sentence_list.h"

#include "core/media/media_player.h"
#include "core/study/row_editing.h"
#include "core/study/row_look.h"
#include "core/study/sentence_table.h"
#include "core/study/study_session.h"
#include "core/study/study_state.h"
#include "core/study/time_drag.h"
#include "ui/study/sentence_row_delegate.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"

#include <QMessageBox>

namespace dictora {

void SentenceList::InsertRow(int index)
{
    dictora::InsertRow(table_, index, state_.isNotebook);
    session_.rowsChanged();
}

bool SentenceList::ShiftTime(int deltaMs, bool wholeSpan)
{
    const TimeShift shift = dictora::ShiftTime(table_, state_.currentRow, deltaMs, wholeSpan,
                                               selectedPoint, state_.isNotebook);
    return applyTimeShift(shift);
}

bool SentenceList::applyTimeShift(const TimeShift& shift)
{
    if (!shift.changed)
        return false;
    for (const RowRepaint& repaint : shift.repaints)
        InvalidateRowPart(repaint.row, repaint.part);
    session_.rowsChanged();
    // The edited span is heard at once.
    playRow();
    return true;
}

bool SentenceList::dragTimePoint(int point, int targetMs)
{
    if (point != selectedPoint) {
        selectedPoint = point;
        InvalidateRowPart(-1, TimeColumns);
    }
    return applyTimeShift(
        dictora::dragTimePoint(table_, state_.currentRow, point, targetMs, state_.isNotebook));
}

void SentenceList::deleteCurrentRow()
{
    const int row = state_.currentRow;
    if (!table_.isValidRow(row))
        return;
    removeRowsQuietly(row, 1);
    session_.rowsChanged();
    // The dictation form shows no row any more.
    loadRow();
}

void SentenceList::removeRowsQuietly(int row, int count)
{
    // The list view would select the row after the removed ones; here the
    // removal leaves no row current.
    removing_ = true;
    session_.currentRowRemoved();
    if (count > 0)
        table_.removeRows(row, count);
    else
        deleteSectionRows(table_, row);
    clearSelection();
    removing_ = false;
    session_.currentRowRemoved();
}

bool SentenceList::deleteSection()
{
    const int row = state_.currentRow;
    if (!table_.isValidRow(row))
        return false;
    QMessageBox question(QMessageBox::Question, QStringLiteral("删除操作"),
                         sectionDeleteQuestion(table_, row, panel_.services().openUnitName()),
                         QMessageBox::Yes | QMessageBox::No, &panel_);
    question.setObjectName(QStringLiteral("deleteSectionQuestion"));
    if (question.exec() != QMessageBox::Yes)
        return false;
    removeRowsQuietly(row, 0);
    const SectionDeleted d = session_.sectionDeleted();
    if (d.closeMedia) {
        if (MediaPlayer* player = panel_.services().player)
            player->closeMediaFile();
        closeMediaWindow();
    }
    // Nothing of the deleted rows stays in the dictation form.
    loadRow();
    return true;
}

} // namespace dictora
