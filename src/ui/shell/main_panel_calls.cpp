// SPDX-License-Identifier: GPL-3.0-or-later
// The calls the windows of the study screen make on each other through the
// panel, so that a window reaches a sibling without including it.
#include "ui/shell/main_panel_dialog.h"

#include "core/study/study_keys.h"
#include "core/study/study_session.h"
#include "ui/study/progress_panel.h"
#include "ui/study/sentence_list.h"
#include "ui/study/unit_list_dialog.h"

namespace dictora {

void MainPanelDialog::showStudyWindow(int which)
{
    switch (which) {
    case 0:
        if (progressPanel_)
            progressPanel_->show();
        break;
    case 1:
        if (unitList_)
            unitList_->ShowPopup(true);
        break;
    default:
        if (sentenceList_)
            sentenceList_->show();
        break;
    }
}

QTableView* MainPanelDialog::sentenceView() const
{
    return sentenceList_;
}

void MainPanelDialog::toggleMute()
{
    if (sentenceList_)
        sentenceList_->toggleMute();
}

PlaybackNow MainPanelDialog::sentencePlaybackNow()
{
    return sentenceList_ ? sentenceList_->playbackNow() : PlaybackNow{};
}

void MainPanelDialog::carryOutSpace(SpaceAction action)
{
    if (sentenceList_)
        sentenceList_->carryOut(action);
}

void MainPanelDialog::holdChangeQuestion(QWidget* question)
{
    if (sentenceList_)
        sentenceList_->changeDialog = question;
}

void MainPanelDialog::keepChangeChoice(int choice)
{
    if (sentenceList_)
        sentenceList_->contentChangeChoice = choice;
}

} // namespace dictora
