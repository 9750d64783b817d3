#pragma once

#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"

#include <memory>

class QApplication;

namespace dictora {

class FrameDialog;
class MediaCommands;
class SingleInstance;

// The application object: refuses a second copy, prepares the program
// folder, opens the sound cues, sets the dialog colours and builds the window
// tree through the frame. It owns everything the windows share.
class App {
public:
    App();
    ~App();

    // Runs the program; returns the process exit code. A refused second start
    // returns at once, with no window made and no file touched.
    int run(QApplication& qtApp);

    ProgramFolder programFolder;
    StudyState state;
    SentenceTable sentences;
    std::unique_ptr<MediaCommands> media;
    std::unique_ptr<FrameDialog> frame;

private:
    std::unique_ptr<SingleInstance> instance_;
};

} // namespace dictora
