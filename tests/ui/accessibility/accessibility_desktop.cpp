// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility_desktop.h"

#include "support/server_ready.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>

namespace dictora::test {

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");
const QString kBusLauncher = QStringLiteral("/usr/libexec/at-spi-bus-launcher");

} // namespace

void AccessibilityDesktop::start()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QStringList missing =
        PrivateDesktop::missingPrograms({"Xvfb", "dbus-daemon", "dbus-send"});
    if (!missing.isEmpty()) {
        unavailable_ = QStringLiteral("not installed: ") + missing.join(u' ');
        return;
    }
    if (!QFileInfo::exists(kBusLauncher)) {
        unavailable_ = QStringLiteral("at-spi2-core is not installed");
        return;
    }
    QProcess probe;
    probe.start(kPython, {QStringLiteral("-c"), QStringLiteral("import pyatspi")});
    if (!probe.waitForFinished(20000) || probe.exitCode() != 0) {
        unavailable_ = QStringLiteral("python3-pyatspi is not installed");
        return;
    }
    if (!desktop_.start()) {
        unavailable_ = desktop_.error();
        return;
    }
    desktop_.startService(kBusLauncher, {QStringLiteral("--launch-immediately")});
    // The accessibility bus is up when the launcher hands out its address.
    QDeadlineTimer deadline(kServerReadyLimitMs);
    QByteArray address;
    while (!deadline.hasExpired()) {
        if (desktop_.run(QStringLiteral("dbus-send"),
                         {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                          QStringLiteral("--dest=org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                          QStringLiteral("org.a11y.Bus.GetAddress")},
                         5000, &address) == 0 &&
            address.contains("unix:"))
            break;
        address.clear();
        QTest::qSleep(50);
    }
    if (address.isEmpty()) {
        unavailable_ = QStringLiteral("the accessibility bus did not come up");
        return;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
}

QByteArray AccessibilityDesktop::runScript(const QStringList& arguments, bool* ok)
{
    // The screen reader asks this program over D-Bus: its event loop must
    // run while the script reads, without the pauses of QTest::qWaitFor,
    // which would add up over the many calls.
    QProcess script;
    QEventLoop loop;
    QObject::connect(&script, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&script, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    script.start(kPython, QStringList{QStringLiteral(ATSPI_TREE_SCRIPT),
                                      QString::number(QCoreApplication::applicationPid())} +
                              arguments);
    loop.exec();
    const bool ended = script.state() == QProcess::NotRunning;
    if (!ended) {
        script.kill();
        script.waitForFinished(3000);
    }
    *ok = ended && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
    return script.readAllStandardOutput();
}

QStringList AccessibilityDesktop::tree()
{
    // This program registers with the accessibility bus a moment after its
    // windows come up (later on a busy machine): until then the reader
    // finds no application of this process.
    QDeadlineTimer deadline(kServerReadyLimitMs);
    while (true) {
        bool ok = false;
        const QByteArray out = runScript({}, &ok);
        if (ok && !out.trimmed().isEmpty()) {
            QStringList lines = QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
            for (QString& line : lines)
                line = line.trimmed();
            return lines;
        }
        if (deadline.hasExpired())
            return {};
        QTest::qWait(200);
    }
}

bool AccessibilityDesktop::press(const QString& name)
{
    bool ok = false;
    runScript({QStringLiteral("press"), name}, &ok);
    return ok;
}

} // namespace dictora::test
