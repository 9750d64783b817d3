// SPDX-License-Identifier: GPL-3.0-or-later
#include "app.h"

#include "core/import/handed_files.h"
#include "platform/desktop/display_platform.h"
#include "platform/desktop/single_instance.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    const qint64 startMs = QDateTime::currentMSecsSinceEpoch();
    // Before the application object: Qt's start-up may create folders, and a
    // refused second start must not touch anything. A lock that cannot be
    // made at all (no runtime folder, read-only temp, a folder another user
    // could reach) does not keep the learner from the program: it then runs
    // unchecked, and says why.
    // Files named on the command line ("Open with Dictora") go to the copy
    // that already runs; without files a second start simply ends.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QStringList handedFiles =
        dictora::handedFilesFromArguments(arguments, QDir::currentPath());
    dictora::SingleInstance instance;
    switch (instance.acquire(handedFiles)) {
    case dictora::SingleInstance::Outcome::Acquired:
        break;
    case dictora::SingleInstance::Outcome::AnotherCopyRuns:
        return 0;
    case dictora::SingleInstance::Outcome::NotHandedOver:
        std::fprintf(stderr, "dictora: %s\n", qPrintable(instance.problem()));
        return 1;
    case dictora::SingleInstance::Outcome::Unavailable:
        std::fprintf(stderr, "dictora: runs without looking for another running copy: %s\n",
                     qPrintable(instance.problem()));
        break;
    }

    dictora::chooseDisplayPlatformForThisProcess();
    QApplication qtApp(argc, argv);
    qtApp.setApplicationName(QStringLiteral("dictora"));
    // The desktop entry's name: Wayland compositors match the window to it.
    qtApp.setDesktopFileName(QStringLiteral("io.github.dictora.Dictora"));
    qtApp.setProperty("startMs", startMs);
    dictora::App app;
    return app.run(qtApp, instance, handedFiles);
}
