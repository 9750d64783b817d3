// SPDX-License-Identifier: GPL-3.0-or-later
// The sentence list's calls out to the windows it drives: the dictation
// form (LoadRow), the media window (PlayRow and the playback toggles) and
// the content dialogs. Kept together, so each call has one place.
#include "ui/study/sentence_list.h"

#include "core/media/media_player.h"
#include "core/study/study_keys.h"
#include "core/study/study_state.h"
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/typing_progress_bar.h"
#include "ui/import/add_content_dialog.h"
#include "ui/media/media_window.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"

namespace dictora {

void SentenceList::loadRow()
{
    if (DictationForm* form = panel_.dictationForm())
        form->LoadRow();
}

void SentenceList::playRow()
{
    int select = kNone;
    if (MediaWindow* media = panel_.mediaWindow())
        select = media->PlayRow(advancing);
    else if (MediaPlayer* player = panel_.services().player)
        select = player->playRow(advancing);
    // Without a current row the player names the first sentence; selecting
    // it plays it.
    if (select >= 0)
        selectRow(select);
}

QString SentenceList::mediaMode()
{
    MediaPlayer* player = panel_.services().player;
    return player ? player->mediaMode() : QString();
}

void SentenceList::carryOut(SpaceAction action)
{
    // Through the media window when there is one: it shows the pause sign.
    MediaWindow* media = panel_.mediaWindow();
    MediaPlayer* player = panel_.services().player;
    if (!media && !player)
        return;
    switch (action) {
    case SpaceAction::Pause:
        media ? media->PauseMedia() : player->pauseMedia();
        break;
    case SpaceAction::Resume:
        media ? media->ResumeMedia() : player->resumeMedia();
        break;
    case SpaceAction::Replay:
        media ? media->ReplaySentence() : player->replaySentence();
        break;
    case SpaceAction::None:
        break;
    }
}

bool SentenceList::mediaPaused()
{
    MediaPlayer* player = panel_.services().player;
    return player && player->paused();
}

bool SentenceList::mediaBusy()
{
    const MediaWindow* media = panel_.mediaWindow();
    return media && media->playBusy();
}

void SentenceList::holdDictationForm()
{
    // A playback is being started: the dictation form stays where it is.
    if (DictationForm* form = panel_.dictationForm())
        form->autoMove = 0;
}

bool SentenceList::mediaWindowInFront() const
{
    const MediaWindow* media = panel_.mediaWindow();
    return media && state_.foregroundWindow == media;
}

bool SentenceList::mediaPinned() const
{
    const MediaWindow* media = panel_.mediaWindow();
    return media && media->pinned();
}

void SentenceList::togglePinned()
{
    if (MediaWindow* media = panel_.mediaWindow())
        media->setPinned(!media->pinned());
}

void SentenceList::clearSpanFlags()
{
    if (MediaWindow* media = panel_.mediaWindow())
        media->clearSpanFlags();
}

void SentenceList::closeMediaWindow()
{
    if (MediaWindow* media = panel_.mediaWindow()) {
        media->setEnlarged(false);
        media->hide();
    }
}

void SentenceList::resetTypingProgress()
{
    if (DictationForm* form = panel_.dictationForm())
        form->typingProgressBar()->setPercent(0, form->width(), false);
}

void SentenceList::openAddContentForTitle()
{
    AddContentDialog* dialog = panel_.addContent();
    if (!dialog)
        return;
    openDialog = dialog;
    dialog->openForCurrentRow();
    openDialog = nullptr;
}

void SentenceList::openAddContentWithFile(const QString& path)
{
    AddContentDialog* dialog = panel_.addContent();
    if (!dialog)
        return;
    openDialog = dialog;
    dialog->openWithFile(path);
    openDialog = nullptr;
}

} // namespace dictora
