#include "app.h"

#include <QApplication>
#include <QDateTime>

int main(int argc, char** argv)
{
    const qint64 startMs = QDateTime::currentMSecsSinceEpoch();
    QApplication qtApp(argc, argv);
    qtApp.setApplicationName(QStringLiteral("dictora"));
    qtApp.setDesktopFileName(QStringLiteral("dictora"));
    qtApp.setProperty("startMs", startMs);
    dictora::App app;
    return app.run(qtApp);
}
