// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"
#include "core/study/study_session.h"

namespace dictora {

class MediaAnalysis;
class MediaCommands;
class MediaPlayer;
class SentenceTable;
class SpeechOutput;
class StudyRecord;
class UnitLibrary;
class VoiceRecorder;
struct StudyState;

// What every window of the study screen works on: the shared study state,
// the open Unit's sentence table, the program folder and the services that
// read and play it. The application owns all of them for the whole run and
// hands this record to the frame, which hands it on to each window it
// builds. Tests fill in only what the window under test needs; a service
// left null is one the window must do without.
struct StudyServices {
    StudyState& state;
    SentenceTable& sentences;
    ProgramFolder folder = {};
    MediaCommands* media = nullptr;
    UnitLibrary* library = nullptr;
    MediaPlayer* player = nullptr;
    VoiceRecorder* recorder = nullptr;
    SpeechOutput* speech = nullptr;
    // The windows change modes, sound and the current row only through the
    // session; they read the state.
    StudySession session{state, sentences};
    StudyRecord* record = nullptr; // every checked answer is appended here
    // Loudness and waveform peaks of media files, measured in the background.
    MediaAnalysis* analysis = nullptr;
};

} // namespace dictora
