#include "app.h"

#include "platform/desktop/single_instance.h"

#include <QApplication>
#include <QDateTime>

int main(int argc, char** argv)
{
    const qint64 startMs = QDateTime::currentMSecsSinceEpoch();
    // Before the application object: Qt's start-up may create folders, and a
    // refused second start must not touch anything. A lock that cannot be
    // made at all (no runtime folder, read-only temp) does not keep the
    // learner from the program: it then runs unchecked.
    dictora::SingleInstance instance;
    if (instance.acquire() == dictora::SingleInstance::Outcome::AnotherCopyRuns)
        return 0;

    QApplication qtApp(argc, argv);
    qtApp.setApplicationName(QStringLiteral("dictora"));
    qtApp.setDesktopFileName(QStringLiteral("dictora"));
    qtApp.setProperty("startMs", startMs);
    dictora::App app;
    return app.run(qtApp, instance);
}
