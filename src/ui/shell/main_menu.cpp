// SPDX-License-Identifier: GPL-3.0-or-later
// The main menu of the sentence list, from which every other window opens.
#include "ui/study/sentence_list.h"

#include "core/media/media_player.h"
#include "core/media/speech_output.h"
#include "core/media/voice_recorder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/history/flashcard_export_run.h"
#include "ui/history/study_record_window.h"
#include "ui/import/clear_record_dialog.h"
#include "ui/media/media_window.h"
#include "ui/shell/help_overlay.h"
#include "ui/shell/listening_actions.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/shell/study_menu.h"
#include "ui/study/progress_panel.h"
#include "ui/widgets/study_services.h"

namespace dictora {

namespace {

enum MainMenuItem {
    MuteItem = 1,
    LineByLineItem,
    DictationItem,
    EditItem,
    PinOrClearItem,
    StudyRecordItem,
    ExportItem,
    HelpItem,
    kFirstListeningItem,
};

} // namespace

void SentenceList::showContextMenu(const QPoint& globalPos)
{
    // The media window opens the main menu in every mode; it lies above the
    // list wherever it is shown. (The screensaver runs only in Dictation
    // mode, where the main menu is the menu anyway.)
    const QWidget* media = panel_.mediaWindow();
    const bool fromBackdrop =
        media && media->isVisible() && media->frameGeometry().contains(globalPos);
    if (state_.editMode && !fromBackdrop)
        ShowEditMenu(globalPos);
    else
        ShowMainMenu(globalPos);
}

void SentenceList::ShowMainMenu(const QPoint& globalPos)
{
    StudyMenu menu(&panel_);
    menu.addItem(MuteItem, QStringLiteral("静音"), !state_.soundOn);
    menu.addItem(LineByLineItem, QStringLiteral("逐行播放"), state_.lineByLineMode);
    menu.addSeparator();
    menu.addItem(DictationItem, QStringLiteral("【听 写】"), state_.dictationMode);
    menu.addSeparator();
    menu.addItem(EditItem, QStringLiteral("编 辑"), state_.editMode);
    menu.addSeparator();
    const bool overMedia = mediaWindowInFront();
    if (overMedia)
        menu.addItem(PinOrClearItem, QStringLiteral("置顶"), mediaPinned());
    else
        menu.addItem(PinOrClearItem, QStringLiteral("清除记录"));
    addListeningItems(menu, kFirstListeningItem);
    menu.addSeparator();
    menu.addItem(StudyRecordItem, QStringLiteral("学习记录"));
    menu.addItem(ExportItem, QStringLiteral("导出…"));
    menu.addItem(HelpItem, QStringLiteral("?"));

    const int chosen = menu.track(globalPos - QPoint(140, 0));
    if (runListeningItem(chosen, kFirstListeningItem, panel_.services(), &panel_))
        return;
    switch (chosen) {
    case MuteItem:
        toggleMute();
        break;
    case LineByLineItem:
        toggleLineByLine();
        break;
    case DictationItem:
        toggleDictation();
        break;
    case EditItem:
        toggleEdit();
        break;
    case PinOrClearItem:
        if (overMedia)
            togglePinned();
        else
            clearRecord();
        break;
    case StudyRecordItem:
        showStudyRecord(panel_);
        break;
    case ExportItem:
        exportOpenUnit(panel_);
        break;
    case HelpItem:
        HelpOverlay::showHelp();
        break;
    default:
        break;
    }
}

} // namespace dictora
