// SPDX-License-Identifier: GPL-3.0-or-later
// The mode and sound commands of the sentence list, as the menus and the
// windows give them: the session decides, the list carries the decision out.
#include "ui/study/sentence_list.h"

#include "core/media/media_player.h"
#include "core/media/speech_output.h"
#include "core/media/voice_recorder.h"
#include "core/study/study_keys.h"
#include "core/study/study_session.h"
#include "core/study/study_state.h"
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/import/clear_record_dialog.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"

namespace dictora {

PlaybackNow SentenceList::playbackNow()
{
    PlaybackNow now;
    now.mediaPlaying = mediaMode() == u"playing";
    now.mediaPaused = mediaPaused();
    VoiceRecorder* recorder = panel_.services().recorder;
    now.recordingPlayback = recorder && recorder->recordStatus() == RecordPlaying;
    return now;
}

void SentenceList::toggleMute()
{
    const SoundDecision d = session_.toggleSound(playbackNow());
    if (d.pauseMedia)
        carryOut(SpaceAction::Pause);
    if (d.stopRecordingPlayback)
        if (VoiceRecorder* recorder = panel_.services().recorder) {
            const int status = recorder->stopRecording();
            if (DictationForm* form = panel_.dictationForm())
                form->toolbar()->setRecordButtonState(status);
        }
    if (d.clearSpeechPending)
        if (SpeechOutput* speech = panel_.services().speech)
            speech->clearSpeechPending();
    if (d.playRow)
        playRow();
}

void SentenceList::toggleLineByLine()
{
    carryOut(session_.switchLineByLine());
}

void SentenceList::toggleDictation()
{
    carryOut(session_.switchDictation(!state_.dictationMode));
}

void SentenceList::toggleEdit()
{
    carryOut(session_.switchEdit());
}

void SentenceList::carryOut(const ModeDecision& d)
{
    if (d.stopMedia && panel_.services().player)
        panel_.services().player->stopMedia();
    if (d.clearSpanFlags)
        clearSpanFlags();
    if (d.resetTypingProgress)
        resetTypingProgress();
    // The screensaver comes up (or goes) before the row takes the keyboard,
    // and a tip shown below is not hidden by the mode item noticing the
    // change later.
    panel_.modeChanged(d.frameOnTop);
    if (d.playRow)
        playRow();
    if (d.selectRow >= 0)
        selectRow(d.selectRow);
    if (d.repaintList)
        repaintAll();
    if (d.loadRow)
        loadRow();
    if (d.playLoadedRow)
        playRow();
    lookedAtCurrentRow();
    if (!d.tip.isEmpty())
        showTipAtCursor(d.tip);
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
