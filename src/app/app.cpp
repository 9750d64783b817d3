// SPDX-License-Identifier: GPL-3.0-or-later
#include "app.h"

#include "core/history/study_record.h"
#include "core/media/media_commands.h"
#include "core/media/media_player.h"
#include "core/media/voice_recorder.h"
#include "core/study/program_folder_lock.h"
#include "core/study/unit_library.h"
#include "core/study/welcome_unit.h"
#include "platform/desktop/desktop_windows.h"
#include "platform/desktop/single_instance.h"
#include "platform/media/gst_media_commands.h"
#include "platform/media/media_analysis.h"
#include "platform/speech/speech_worker.h"
#include "platform/speech/welcome_speech.h"
#include "ui/desktop/accessibility.h"
#include "ui/desktop/handed_files_handler.h"
#include "ui/shell/frame_dialog.h"
#include "ui/shell/learner_guide.h"
#include "ui/shell/listening_actions.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/shell/program_folder_claim.h"
#include "ui/widgets/dialog_colours.h"
#include "ui/widgets/sound_cues.h"
#include "ui/widgets/ui_font.h"

#include <QApplication>
#include <QMessageBox>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include <chrono>

#include <cstdio>

namespace dictora {

App::App() = default;

App::~App()
{
    // Windows go before the services they use, and the services before the
    // media layer and the table they work on.
    frame.reset();
    record.reset();
    recorder.reset();
    player.reset();
    library.reset();
    speech.reset();
}

int App::run(QApplication& qtApp, SingleInstance& instance, const QStringList& handedFiles)
{
    // Files handed over by later starts are added from the event loop, not
    // from inside the socket's signal: adding opens modal dialogs.
    instance.listen([this, &qtApp](const QStringList& paths) {
        QTimer::singleShot(0, &qtApp, [this, paths] {
            if (frame && frame->mainPanel())
                addHandedFiles(*frame->mainPanel(), paths);
        });
    });

    programFolder = locateProgramFolder(QCoreApplication::applicationDirPath());
    // A program folder without Data is new: it gets the welcome Unit.
    const bool firstStart = isNewProgramFolder(programFolder);

    // One writer at a time in the program folder: Dictora holds it for its
    // whole run (the lock lives as long as this call). It is taken before
    // anything in the folder is made or read: a dictora-cli command that
    // writes is waited for a little, and when the lock cannot be had (a
    // command takes longer, or the lock file is unusable) the learner is told
    // why and the program ends without touching any file.
    QDir().mkpath(programFolder.path);
    ProgramFolderLock folderLock(programFolder);
    if (!claimProgramFolder(folderLock, programFolder, std::chrono::seconds(10)))
        return 1;
    prepareProgramFolder(programFolder);

    // Spoken before the speech worker claims the engine. Without it the
    // program starts as it would otherwise, with the Notebook.
    bool welcomeMade = false;
    if (firstStart) {
        QString error;
        welcomeMade = createWelcomeUnit(programFolder, &error);
        if (!welcomeMade)
            std::fprintf(stderr, "dictora: no welcome Unit: %s\n", qPrintable(error));
    }

    media = std::make_unique<GstMediaCommands>();
    speech = std::make_unique<SpeechWorker>();
    library = std::make_unique<UnitLibrary>(programFolder, state, sentences, media.get());
    if (welcomeMade)
        library->setStartUnit(kWelcomeUnitName);
    player = std::make_unique<MediaPlayer>(state, sentences, programFolder, *media, *speech);
    player->setUnitLibrary(library.get());
    recorder = std::make_unique<VoiceRecorder>(*media, programFolder);
    analysis = std::make_unique<MediaAnalysis>(programFolder.cfgFolder());
    player->setPlaybackSettings(loadPlaybackSettings(programFolder));
    player->setLoudnessLookup(
        [analysis = analysis.get()](const QString& path) { return analysis->loudness(path); });
    services.folder = programFolder;
    services.media = media.get();
    services.speech = speech.get();
    services.library = library.get();
    services.player = player.get();
    services.recorder = recorder.get();
    // The study record: a damaged one is set aside and a new one begun with
    // what could still be read from it; one that is only locked or cannot be
    // written now is waited for, the answers kept in memory meanwhile.
    // Without any, study goes on unrecorded. A set-aside or a record that
    // cannot be had is said once the study screen is up.
    record = std::make_unique<StudyRecord>();
    const bool recordOpen =
        record->open(programFolder, StudyRecord::Mode::Write, QDateTime::currentSecsSinceEpoch());
    const QString recordNotice = recordOpen ? record->notice() : record->error();
    services.record = record.get();
    services.analysis = analysis.get();

    installFontSubstitutions();
    applyDialogColours(qtApp);
    // The program speaks Chinese; so do the buttons and file dialogs Qt
    // itself draws ("确定", "打开"), when Debian's Qt translations are there.
    if (qtTranslator_.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        qtApp.installTranslator(&qtTranslator_);

    installAssistiveTechnologySupport();
    DesktopProbe probe;
    probe.windowAt = [](const QPoint& p) -> const QObject* { return ownWindowAt(p); };
    probe.foregroundWindow = []() -> const QObject* { return ownForegroundWindow(); };
    frame = std::make_unique<FrameDialog>(services, std::move(probe));
    listeningKeys = std::make_unique<ListeningKeysFilter>(services);
    qtApp.installEventFilter(listeningKeys.get());

    // DICTORA_REPORT_FIRST_FRAME=1 prints the milliseconds from process start
    // to the first painted study screen, and the Qt platform drawn on, and
    // ends; the start-up benchmark and the display tests use it.
    if (qEnvironmentVariableIntValue("DICTORA_REPORT_FIRST_FRAME") == 1) {
        QObject::connect(frame.get(), &FrameDialog::firstFramePainted, &qtApp, [&qtApp] {
            std::printf("first-frame-ms %lld platform=%s\n",
                        static_cast<long long>(QDateTime::currentMSecsSinceEpoch() -
                                               qtApp.property("startMs").toLongLong()),
                        qPrintable(QGuiApplication::platformName()));
            std::fflush(stdout);
            qtApp.quit();
        });
    }

    // Opening the cues prerolls three decoders, about a tenth of a second
    // with a ready sound card and much longer with a slow one; they open in
    // the background once the study screen is on the screen, long before
    // the learner can do anything that sounds one.
    QObject::connect(frame.get(), &FrameDialog::firstFramePainted, &qtApp,
                     [this] { openSoundCues(*media, programFolder); });
    // Files named on our own command line are added once the study screen
    // (with the first Unit open) is on the screen.
    if (!handedFiles.isEmpty()) {
        QObject::connect(frame.get(), &FrameDialog::firstFramePainted, &qtApp,
                         [this, handedFiles] {
                             if (frame->mainPanel())
                                 addHandedFiles(*frame->mainPanel(), handedFiles);
                         },
                         Qt::QueuedConnection);
    }
    if (!recordNotice.isEmpty()) {
        QObject::connect(
            frame.get(), &FrameDialog::firstFramePainted, &qtApp,
            [this, recordNotice] {
                auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("学习记录"),
                                            recordNotice, QMessageBox::Ok, frame.get());
                box->setAttribute(Qt::WA_DeleteOnClose);
                box->open();
            },
            Qt::SingleShotConnection);
    }

    // The program ends with the frame, whatever other windows are still up.
    QObject::connect(frame.get(), &FrameDialog::closed, &qtApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    frame->start();
    if (frame->mainPanel())
        describeForAssistiveTechnology(*frame->mainPanel());
    // Owned by the frame: F1, tooltips, the hint over an empty list and the
    // tip when the day's work is done.
    new LearnerGuide(*frame->mainPanel(), state, library.get(), frame.get());
    const int exitCode = qtApp.exec();
    reportAnswersNotKept();
    return exitCode;
}

void App::reportAnswersNotKept()
{
    // The answers the record could not take get one last try, with a longer
    // wait for a lock; those it still cannot take are named before the end.
    if (!record || !record->takesAnswers() || record->waitingCount() == 0)
        return;
    const qsizetype lost = record->finish(QDateTime::currentSecsSinceEpoch());
    if (lost == 0)
        return;
    const QString message =
        QStringLiteral("学习记录无法写入 (%1): %2 条回答未能保存").arg(record->error()).arg(lost);
    std::fprintf(stderr, "dictora: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    QMessageBox::warning(nullptr, QStringLiteral("学习记录"), message);
}

} // namespace dictora
