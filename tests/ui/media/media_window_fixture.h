#pragma once

#include "core/media/media_player.h"
#include "core/media/voice_recorder.h"
#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "platform/media/gst_media_commands.h"
#include "platform/speech/speech_worker.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/shell/study_services.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace dictora::test {

// A 2000 ms clip of 160 x 120 colour bars at 25 frames a second with a tone,
// made once per test program; empty when the encoders are missing.
const QString& videoClip();

// The study screen's real services on the media layer (audio into the sink
// of DICTORA_AUDIO_SINK, a clocked fakesink in tests) and the main panel
// with its whole chain of windows. Speech goes into a WAVE file per
// utterance, speechFile, so tests can tell what was said.
class MediaWindowFixture : public ::testing::Test {
protected:
    // speechOutputFails: the speech output cannot be made, as without a
    // working audio system.
    explicit MediaWindowFixture(bool speechOutputFails = false);
    ~MediaWindowFixture() override;

    // A Section of the clip: title row 0, sentences 1 (0-1000 ms) and 2
    // (1000-1990 ms), then a sentence without media, row 3.
    void loadClipSection();
    // Makes row the current one and plays it, as a selection does.
    void playRow(int row);

    QTemporaryDir dir;
    QString speechFile;
    StudyState state;
    SentenceTable table;
    ProgramFolder folder;
    std::unique_ptr<GstMediaCommands> media;
    std::unique_ptr<SpeechWorker> speech;
    std::unique_ptr<MediaPlayer> player;
    std::unique_ptr<VoiceRecorder> recorder;
    StudyServices services{state, table};
    std::unique_ptr<MainPanelDialog> panel;
};

} // namespace dictora::test
