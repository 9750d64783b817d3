// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/media/gst_media_commands.h"
#include "platform/speech/speech_worker.h"
#include "support/ui/study_screen.h"

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
class MediaWindowFixture : public ::testing::Test, protected StudyScreen {
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

    QTemporaryDir& dir = home;
    QString speechFile;
    std::unique_ptr<GstMediaCommands> media;
    std::unique_ptr<SpeechWorker> speech;
};

} // namespace dictora::test
