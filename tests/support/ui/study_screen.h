// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/media_player.h"
#include "core/media/voice_recorder.h"
#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/widgets/study_services.h"

#include <QSize>
#include <QTemporaryDir>

#include <memory>

namespace dictora {

class MediaCommands;
class SpeechOutput;

namespace test {

// What the study screen is built over and which of the program's services
// it gets. The media layer and the voice belong to the caller and must
// outlive the screen.
struct StudyScreenSetup {
    MediaCommands* media = nullptr;
    // With a media layer, a voice gives the screen its media player.
    SpeechOutput* speech = nullptr;
    bool library = true;
    bool recorder = false;
    // The player does not wait between its polls of the device, for a media
    // layer that answers at once.
    bool devicePlaysAtOnce = false;
    // The main panel's owner, and its size when not empty.
    QWidget* parent = nullptr;
    QSize size{};
};

// The study screen as the program builds it, over a program folder in a
// temporary directory: the unit library, the media player and the voice
// recorder, the services every window is handed, and the main panel with the
// whole chain of windows it owns. Widget tests and benchmarks derive from it
// to reach the parts by name; whoever holds the media layer and the voice
// calls closeStudyScreen() before they go.
struct StudyScreen {
    QTemporaryDir home;
    ProgramFolder folder{home.path() + u'/'};
    StudyState state;
    SentenceTable table;
    std::unique_ptr<UnitLibrary> library;
    std::unique_ptr<MediaPlayer> player;
    std::unique_ptr<VoiceRecorder> recorder;
    std::unique_ptr<StudyServices> services;
    std::unique_ptr<MainPanelDialog> panel;

    StudyScreen();
    virtual ~StudyScreen();
    StudyScreen(const StudyScreen&) = delete;
    StudyScreen& operator=(const StudyScreen&) = delete;

    // (Re)builds the services and the main panel over the program folder as
    // it is now, ending the ones built before.
    void buildStudyScreen(const StudyScreenSetup& setup);
    // Shows the main panel and its sentence list, laid out as on the screen.
    void showStudyScreen();
    // Opens a Unit as the program does at start when none is open: the Data
    // folder scanned as the unit library's pop-up does, then its first Unit.
    void openFirstUnit();
    // Ends the windows, then the services, before the media layer and voice.
    void closeStudyScreen();
};

} // namespace test
} // namespace dictora
