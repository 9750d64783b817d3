// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/private_desktop.h"

#include "support/server_ready.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace dictora::test {

namespace {

void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

PrivateDesktop::PrivateDesktop() = default;

PrivateDesktop::~PrivateDesktop()
{
    // Services first: they are clients of the bus and the X server.
    for (auto it = services_.rbegin(); it != services_.rend(); ++it)
        stop(**it);
    stop(bus_);
    stop(xvfb_);
}

QStringList PrivateDesktop::missingPrograms(const QStringList& programs)
{
    QStringList missing;
    for (const QString& program : programs) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            missing << program;
    }
    return missing;
}

QByteArray PrivateDesktop::firstLine(QProcess& process, int timeoutMs)
{
    QByteArray text;
    while (!text.contains('\n') && process.waitForReadyRead(timeoutMs))
        text += process.readAllStandardOutput();
    return text.contains('\n') ? text.left(text.indexOf('\n')).trimmed() : QByteArray();
}

bool PrivateDesktop::start()
{
    if (!home_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return false;
    }
    // -displayfd: the server picks a free display and writes its number
    // once it accepts connections.
    xvfb_.start(QStringLiteral("Xvfb"),
                {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                 QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                 QStringLiteral("1280x800x24")});
    const QByteArray number = firstLine(xvfb_, kServerReadyLimitMs);
    if (number.isEmpty()) {
        error_ = QStringLiteral("Xvfb did not start");
        return false;
    }
    display_ = ':' + number;

    const QString socket = QDir(home_.path()).filePath(QStringLiteral("bus"));
    bus_.start(QStringLiteral("dbus-daemon"),
               {QStringLiteral("--session"), QStringLiteral("--nofork"),
                QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1"),
                QStringLiteral("--address=unix:path=") + socket});
    busAddress_ = firstLine(bus_, kServerReadyLimitMs);
    if (busAddress_.isEmpty()) {
        error_ = QStringLiteral("the D-Bus session bus did not start");
        return false;
    }

    const QDir home(home_.path());
    for (const char* folder : {"config", "data", "cache", "runtime"})
        home.mkpath(QLatin1String(folder));
    QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("DISPLAY", display_);
    qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress_);
    qputenv("HOME", home_.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.filePath(QStringLiteral("runtime")).toLocal8Bit());
    qunsetenv("WAYLAND_DISPLAY");
    return true;
}

QProcess& PrivateDesktop::startService(const QString& program, const QStringList& arguments)
{
    auto process = std::make_unique<QProcess>();
    // Services talk a lot (and print a trace when they are ended); what they
    // say is kept in the desktop's home.
    const QString log =
        QDir(home_.path()).filePath(QFileInfo(program).fileName() + QStringLiteral(".log"));
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardOutputFile(log);
    process->start(program, arguments);
    process->waitForStarted(5000);
    services_.push_back(std::move(process));
    return *services_.back();
}

int PrivateDesktop::run(const QString& program, const QStringList& arguments, int timeoutMs,
                        QByteArray* output)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        stop(process);
        return -1;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace dictora::test
