// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/desktop/handed_files_handler.h"

#include "core/import/handed_files.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "core/study/window_messages.h"
#include "ui/study/progress_panel.h"
#include "ui/study/sentence_list.h"
#include "ui/widgets/sound_cues.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"

#include <QApplication>
#include <QFileInfo>

namespace dictora {

void addHandedFiles(StudyPanel& panel, const QStringList& paths)
{
    SentenceList* list = panel.sentenceList();
    if (!list)
        return;
    const StudyState& state = panel.state();

    QWidget* frame = panel.window();
    frame->setWindowState((frame->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    frame->raise();
    frame->activateWindow();
    // Tips stand over the middle of the list, where a drop would have been.
    panel.services().session.cursorMoved(
        list->mapToGlobal(list->viewport()->geometry().center()));

    const bool dialogOpen = QApplication::activeModalWidget() != nullptr || list->openDialog;
    const HandedFilesStep step = planHandedFiles(paths, !state.unitFilePath.isEmpty(),
                                                 state.isNotebook, state.editMode, dialogOpen);
    if (step.kind == HandedFilesStep::Kind::NewUnit) {
        UnitLibrary* library = panel.services().library;
        if (!library)
            return;
        const QString name = newUnitNameFor(step.files.first(), [library](const QString& n) {
            return library->positionOf(n) >= 0 || QFileInfo::exists(library->unitPath(n));
        });
        const UnitResult made = library->createUnit(name);
        if (!made.ok) {
            playErrorCue(panel.services().media);
            if (TipWindow* tip = panel.tipWindow())
                tip->ShowTip(state.cursorPos.x(), state.cursorPos.y(), windowMessage(made.message));
            return;
        }
        if (ProgressPanel* progress = panel.progressPanel())
            progress->RefreshPanel();
    }
    if (step.kind == HandedFilesStep::Kind::AddContent ||
        step.kind == HandedFilesStep::Kind::NewUnit) {
        if (step.switchToEdit)
            list->toggleEdit();
        list->dropFiles(step.files);
        return;
    }
    if (step.errorCue)
        playErrorCue(panel.services().media);
    else
        playTipCue(panel.services().media);
    if (TipWindow* tip = panel.tipWindow())
        tip->ShowTip(state.cursorPos.x(), state.cursorPos.y(), step.tip);
}

} // namespace dictora
