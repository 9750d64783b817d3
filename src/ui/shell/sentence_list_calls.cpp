// The sentence list's calls out to the windows it drives: the dictation
// form (LoadRow), the media window (PlayRow and the playback toggles) and
// the content dialogs. Kept together, so each call has one place.
#include "ui/shell/sentence_list.h"

#include "core/media/media_player.h"
#include "core/study/study_state.h"
#include "ui/import/add_content_dialog.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/shell/study_services.h"

namespace dictora {

void SentenceList::loadRow() {}

void SentenceList::playRow()
{
    MediaPlayer* player = panel_.services().player;
    if (!player)
        return;
    const int select = player->playRow(advancing);
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

void SentenceList::pauseMedia()
{
    if (MediaPlayer* player = panel_.services().player)
        player->pauseMedia();
}

void SentenceList::resumeMedia()
{
    if (MediaPlayer* player = panel_.services().player)
        player->resumeMedia();
}

void SentenceList::replaySentence()
{
    if (MediaPlayer* player = panel_.services().player)
        player->replaySentence();
}

bool SentenceList::mediaPaused()
{
    MediaPlayer* player = panel_.services().player;
    return player && player->paused();
}

bool SentenceList::mediaBusy()
{
    return false;
}

bool SentenceList::mediaWindowInFront() const
{
    return false;
}

bool SentenceList::mediaPinned() const
{
    return false;
}

void SentenceList::togglePinned() {}

void SentenceList::clearSpanFlags() {}

void SentenceList::closeMediaWindow() {}

void SentenceList::resetTypingProgress() {}

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
