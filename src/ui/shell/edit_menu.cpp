// SPDX-License-Identifier: GPL-3.0-or-later
// The edit menu of the sentence list.
#include "ui/study/sentence_list.h"

#include "core/media/media_player.h"
#include "core/study/row_editing.h"
#include "core/study/row_look.h"
#include "core/study/sentence_table.h"
#include "core/study/study_keys.h"
#include "core/study/study_session.h"
#include "core/study/time_drag.h"
#include "ui/shell/help_overlay.h"
#include "ui/shell/listening_actions.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/shell/study_menu.h"
#include "ui/study/sentence_row_delegate.h"
#include "ui/widgets/study_services.h"

#include <QMessageBox>

namespace dictora {

namespace {

enum EditMenuItem {
    LeaveEditItem = 1,
    InsertItem,
    TitleItem,
    DeleteRowItem,
    DeleteSectionItem,
    EarlierItem, // 6 to 9: the time edits of kTimeShifts
    LaterItem,
    SpanEarlierItem,
    SpanLaterItem,
    HelpItem,
    kFirstListeningItem,
};

} // namespace

void SentenceList::ShowEditMenu(const QPoint& globalPos)
{
    StudyMenu menu(&panel_);
    menu.addItem(LeaveEditItem, QStringLiteral(" --- 编 辑 --- "), true);
    menu.addSeparator();
    menu.addItem(InsertItem, QStringLiteral("插入行(后续)"));
    const int row = state_.currentRow;
    const bool hasRow = table_.isValidRow(row);
    if (hasRow) {
        menu.addItem(TitleItem, QStringLiteral("本行设置成标题"), false, !state_.isNotebook);
        menu.addSeparator();
        menu.addItem(DeleteRowItem, QStringLiteral("删除本行"));
        menu.addSeparator();
        menu.addItem(DeleteSectionItem, QStringLiteral("删除标题及内容"), false,
                     table_.isTitleRow(row));
    }
    if (hasRow && !table_.isTitleRow(row) && selectedPoint > 0) {
        const QString point = selectedPoint == 1 ? QStringLiteral("起点") : QStringLiteral("结尾");
        menu.addSeparator();
        menu.addItem(EarlierItem, point + QStringLiteral("提前 -50ms (A)"));
        menu.addItem(LaterItem, point + QStringLiteral("推后 +50ms (F)"));
        menu.addSeparator();
        menu.addItem(SpanEarlierItem, QStringLiteral("整体提前 -500ms (E)"));
        menu.addItem(SpanLaterItem, QStringLiteral("整体推后 +500ms (D)"));
    }
    addListeningItems(menu, kFirstListeningItem);
    menu.addSeparator();
    menu.addItem(HelpItem, QStringLiteral("?"));

    const int chosen = menu.track(globalPos + QPoint(-140, 25));
    if (runListeningItem(chosen, kFirstListeningItem, panel_.services(), &panel_))
        return;
    switch (chosen) {
    case LeaveEditItem:
        toggleEdit();
        break;
    case InsertItem:
        InsertRow(row < 0 ? 0 : row + 1);
        break;
    case TitleItem:
        toggleTitleRow(table_, row);
        InvalidateRowPart(row, WholeWidth);
        session_.rowsChanged();
        break;
    case DeleteRowItem:
        deleteCurrentRow();
        break;
    case DeleteSectionItem:
        deleteSection();
        break;
    case HelpItem:
        HelpOverlay::showHelp();
        break;
    default:
        if (const TimeShiftCommand* shift = timeShiftOfMenuItem(chosen))
            ShiftTime(shift->deltaMs, shift->wholeSpan);
        break;
    }
}

} // namespace dictora
