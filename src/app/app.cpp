#include "app.h"

#include "core/media/media_commands.h"
#include "core/media/media_player.h"
#include "core/media/voice_recorder.h"
#include "core/study/program_folder_lock.h"
#include "core/study/unit_library.h"
#include "platform/desktop/desktop_windows.h"
#include "platform/desktop/single_instance.h"
#include "platform/media/gst_media_commands.h"
#include "platform/media/media_analysis.h"
#include "platform/speech/speech_worker.h"
#include "ui/shell/dialog_colours.h"
#include "ui/shell/frame_dialog.h"
#include "ui/shell/listening_actions.h"
#include "ui/shell/sound_cues.h"
#include "ui/shell/ui_font.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QDir>
#include <QMessageBox>

#include <chrono>

#include <cstdio>

namespace dictora {

App::App() = default;

App::~App()
{
    // Windows go before the services they use, and the services before the
    // media layer and the table they work on.
    frame.reset();
    recorder.reset();
    player.reset();
    library.reset();
    speech.reset();
}

int App::run(QApplication& qtApp, SingleInstance& instance)
{
    instance.listen();

    programFolder = locateProgramFolder(QCoreApplication::applicationDirPath());
    prepareProgramFolder(programFolder);

    // One writer at a time in the program folder: Dictora holds it for its
    // whole run (the lock lives as long as this call). A dictora-cli command
    // that writes is waited for a little; one that takes longer is named,
    // and the program ends without touching any file.
    ProgramFolderLock folderLock(programFolder);
    const ProgramFolderLock::Outcome locked =
        folderLock.take(ProgramFolderLock::Holder::Program, {}, std::chrono::seconds(10));
    if (locked == ProgramFolderLock::Outcome::HeldByCommand ||
        locked == ProgramFolderLock::Outcome::HeldByProgram) {
        QMessageBox::warning(
            nullptr, QStringLiteral("Dictora"),
            QStringLiteral("数据文件夹 %1 正在被另一个程序写入 (%2)。\n"
                           "请等它结束后再启动 Dictora。")
                .arg(QDir::toNativeSeparators(programFolder.path), folderLock.holderText()));
        return 1;
    }

    media = std::make_unique<GstMediaCommands>();
    speech = std::make_unique<SpeechWorker>();
    library = std::make_unique<UnitLibrary>(programFolder, state, sentences, media.get());
    player = std::make_unique<MediaPlayer>(state, sentences, programFolder, *media, *speech);
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
    services.analysis = analysis.get();

    installFontSubstitutions();
    applyDialogColours(qtApp);
    // The program speaks Chinese; so do the buttons and file dialogs Qt
    // itself draws ("确定", "打开"), when Debian's Qt translations are there.
    if (qtTranslator_.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        qtApp.installTranslator(&qtTranslator_);

    DesktopProbe probe;
    probe.windowAt = [](const QPoint& p) -> const QObject* { return ownWindowAt(p); };
    probe.foregroundWindow = []() -> const QObject* { return ownForegroundWindow(); };
    frame = std::make_unique<FrameDialog>(services, std::move(probe));
    listeningKeys = std::make_unique<ListeningKeysFilter>(services);
    qtApp.installEventFilter(listeningKeys.get());

    // DICTORA_REPORT_FIRST_FRAME=1 prints the milliseconds from process start
    // to the first painted study screen and ends; the start-up benchmark uses it.
    if (qEnvironmentVariableIntValue("DICTORA_REPORT_FIRST_FRAME") == 1) {
        QObject::connect(frame.get(), &FrameDialog::firstFramePainted, &qtApp, [&qtApp] {
            std::printf("first-frame-ms %lld\n",
                        static_cast<long long>(QDateTime::currentMSecsSinceEpoch() -
                                               qtApp.property("startMs").toLongLong()));
            std::fflush(stdout);
            qtApp.quit();
        });
    }

    // Opening the cues prerolls three decoders, about a tenth of a second;
    // they are opened as soon as the study screen is on the screen, long
    // before the learner can do anything that sounds one.
    QObject::connect(frame.get(), &FrameDialog::firstFramePainted, &qtApp,
                     [this] { openSoundCues(*media, programFolder); });

    // The program ends with the frame, whatever other windows are still up.
    QObject::connect(frame.get(), &FrameDialog::closed, &qtApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    frame->start();
    return qtApp.exec();
}

} // namespace dictora
