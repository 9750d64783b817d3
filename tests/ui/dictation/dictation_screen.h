// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/media_player.h"
#include "core/media/voice_recorder.h"
#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "platform/media/gst_media_commands.h"
#include "platform/media/media_analysis.h"
#include "platform/speech/speech_worker.h"
#include "ui/shell/frame_dialog.h"
#include "ui/widgets/study_services.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace dictora {
class DictationForm;
class MainPanelDialog;
} // namespace dictora

namespace dictora::test {

// One sentence of the test Unit: its text and span in the lesson's audio.
struct LessonSentence {
    QString text;
    int startMs = 0;
    int endMs = 0;
    QString done = QStringLiteral("0");
    QString level = QStringLiteral("0");
    QString studiedAt = kDefaultStampText;
};

// The whole study screen as the program builds it, over a program folder in
// a temporary directory, with the real media layer playing into the audio
// sink the environment names (a clocked fakesink in tests).
class DictationScreen : public ::testing::Test {
protected:
    static constexpr int kLessonMs = 6000;

    QTemporaryDir home;
    ProgramFolder folder{home.path() + QStringLiteral("/")};
    QString lessonPath;
    StudyState state;
    SentenceTable table;
    // How the media layer is made (its audio source, for one); set before
    // startWithUnit.
    GstMediaCommands::Options mediaOptions;
    std::unique_ptr<GstMediaCommands> media;
    std::unique_ptr<SpeechWorker> speech;
    std::unique_ptr<UnitLibrary> library;
    std::unique_ptr<MediaPlayer> player;
    std::unique_ptr<VoiceRecorder> recorder;
    std::unique_ptr<MediaAnalysis> analysis;
    std::unique_ptr<StudyServices> services;
    std::unique_ptr<FrameDialog> frame;

    void SetUp() override;
    void TearDown() override;

    // Writes the Unit "Lesson" with one Section over the lesson audio, then
    // starts the study screen and opens the Unit.
    void startWithUnit(const std::vector<LessonSentence>& sentences, int reviewFrequency = 2);

    MainPanelDialog& panel() const;
    DictationForm& form() const;
    // Row of the test Unit's n-th sentence (the title row is row 0).
    static int rowOf(int sentence) { return sentence + 1; }
    bool sent(const QString& command) const { return media->commandLog().contains(command); }
    // Types text at the end of the answer box, key by key.
    void type(const QString& text);
    void pressEnter();
    // Replaces the answer and presses Enter.
    void answer(const QString& text);
    // Waits for the media window to unlock typing.
    bool waitForUnlock(int timeoutMs = 10000);
    // The Unit file as it is on disk now.
    std::vector<SentenceRow> savedRows() const;
};

} // namespace dictora::test
