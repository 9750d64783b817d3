// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "ui/widgets/study_services.h"

#include <QStringList>
#include <QTranslator>

#include <memory>

class QApplication;

namespace dictora {

class FrameDialog;
class ListeningKeysFilter;
class MediaAnalysis;
class MediaCommands;
class MediaPlayer;
class SingleInstance;
class SpeechWorker;
class StudyRecord;
class UnitLibrary;
class VoiceRecorder;

// The application object: prepares the program folder, opens the sound cues,
// sets the dialog colours and builds the window tree through the frame. It
// owns everything the windows share. main takes the single-instance lock.
class App {
public:
    App();
    ~App();

    // Runs the program as the one running copy (main has taken the
    // single-instance lock); returns the process exit code. handedFiles,
    // from the command line, are added once the study screen is up, as are
    // the files later starts hand over.
    int run(QApplication& qtApp, SingleInstance& instance, const QStringList& handedFiles = {});

    ProgramFolder programFolder;
    StudyState state;
    SentenceTable sentences;
    std::unique_ptr<MediaCommands> media;
    std::unique_ptr<SpeechWorker> speech;
    std::unique_ptr<UnitLibrary> library;
    std::unique_ptr<MediaPlayer> player;
    std::unique_ptr<VoiceRecorder> recorder;
    std::unique_ptr<StudyRecord> record;
    std::unique_ptr<MediaAnalysis> analysis;
    std::unique_ptr<ListeningKeysFilter> listeningKeys;
    // What the windows are handed: references to the members above.
    StudyServices services{state, sentences};
    std::unique_ptr<FrameDialog> frame;

private:
    void reportAnswersNotKept();

    QTranslator qtTranslator_;
};

} // namespace dictora
