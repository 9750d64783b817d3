// The main menu of the sentence list and the mode commands behind it.
#include "ui/shell/sentence_list.h"

#include "core/media/media_commands.h"
#include "core/media/speech_output.h"
#include "core/media/voice_recorder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "ui/history/flashcard_export_run.h"
#include "ui/history/study_record_window.h"
#include "ui/import/clear_record_dialog.h"
#include "ui/shell/listening_actions.h"
#include "ui/shell/help_overlay.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/shell/study_menu.h"
#include "ui/shell/study_services.h"
#include "ui/study/progress_panel.h"
#include "ui/media/media_window.h"

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

void SentenceList::toggleMute()
{
    if (state_.soundOn) {
        state_.soundOn = false;
        if (mediaMode() == u"playing")
            pauseMedia();
        VoiceRecorder* recorder = panel_.services().recorder;
        if (recorder && recorder->recordStatus() == RecordPlaying)
            recorder->stopRecording();
        if (SpeechOutput* speech = panel_.services().speech)
            speech->clearSpeechPending();
        return;
    }
    state_.soundOn = true;
    state_.playToMs = kNone;
    state_.playFromMs = kNone;
    playRow();
}

void SentenceList::toggleLineByLine()
{
    state_.playToMs = kNone;
    state_.playFromMs = kNone;
    state_.dictationMode = false;
    state_.editMode = false;
    state_.lineByLineMode = !state_.lineByLineMode;
    clearSpanFlags();
    repaintAll();
    playRow();
    loadRow();
}

void SentenceList::toggleDictation()
{
    if (state_.lineByLineMode && panel_.services().media)
        panel_.services().media->send(QStringLiteral("Stop MYSHOW "));
    state_.lineByLineMode = false;
    state_.editMode = false;
    if (state_.dictationMode) {
        state_.dictationMode = false;
        state_.soundOn = true;
        resetTypingProgress();
    } else if (!selectFirstToStudy()) {
        showTipAtCursor(QStringLiteral("请增加内容或选择其他单元"));
    }
    repaintAll();
    loadRow();
}

bool SentenceList::selectFirstToStudy()
{
    for (int row = 0; row < table_.rowCount(); ++row) {
        if (!table_.isTitleRow(row) && table_.field(row, Done) == u"0") {
            state_.dictationMode = true;
            selectRow(row);
            return true;
        }
    }
    return false;
}

void SentenceList::toggleEdit()
{
    if (state_.lineByLineMode && panel_.services().media)
        panel_.services().media->send(QStringLiteral("Stop MYSHOW "));
    state_.lineByLineMode = false;
    state_.dictationMode = false;
    state_.soundOn = true;
    state_.editMode = !state_.editMode;
    repaintAll();
    loadRow();
    if (state_.editMode && !state_.isNotebook && table_.rowCount() <= 3) {
        // The mode item hides the tip when it sees the mode change: it sees
        // it now, so the hint stays up.
        if (ProgressPanel* progress = panel_.progressPanel())
            progress->RefreshPanel();
        showTipAtCursor(QStringLiteral("可以拖动文件添加内容"));
    }
}

void SentenceList::clearRecord()
{
    if (ClearRecordDialog* dialog = panel_.clearRecord()) {
        openDialog = dialog;
        dialog->openForUnit();
        openDialog = nullptr;
    }
    repaintAll();
}

} // namespace dictora
