// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ui/study_screen.h"

#include "core/media/media_commands.h"
#include "core/media/speech_output.h"
#include "ui/study/sentence_list.h"

namespace dictora::test {

StudyScreen::StudyScreen()
{
    createDataFolders(folder);
}

StudyScreen::~StudyScreen()
{
    closeStudyScreen();
}

void StudyScreen::buildStudyScreen(const StudyScreenSetup& setup)
{
    closeStudyScreen();
    if (setup.library)
        library = std::make_unique<UnitLibrary>(folder, state, table, setup.media);
    if (setup.media && setup.speech) {
        player = std::make_unique<MediaPlayer>(state, table, folder, *setup.media, *setup.speech);
        if (setup.devicePlaysAtOnce)
            player->setPause([](int) {});
    }
    if (setup.media && setup.recorder)
        recorder = std::make_unique<VoiceRecorder>(*setup.media, folder);
    services = std::make_unique<StudyServices>(StudyServices{state, table, folder, setup.media,
                                                             library.get(), player.get(),
                                                             recorder.get(), setup.speech});
    panel = std::make_unique<MainPanelDialog>(setup.parent, *services);
    if (!setup.size.isEmpty())
        panel->resize(setup.size);
    panel->createOwnedWindows();
}

void StudyScreen::showStudyScreen()
{
    panel->sentenceList()->show();
    panel->show();
    panel->layoutPanel();
}

void StudyScreen::openFirstUnit()
{
    if (library->openPosition() < 0) {
        library->ScanDataFolder();
        library->OpenUnit(0);
    }
}

void StudyScreen::closeStudyScreen()
{
    panel.reset();
    recorder.reset();
    player.reset();
    library.reset();
}

} // namespace dictora::test
