// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace dictora::test {

// What a run of the built dictora-cli gave: its exit code (-1 when it
// crashed), the JSON object it printed and its trimmed standard error.
struct CliRun {
    int exitCode = -1;
    QJsonObject json;
    QString error;
};

// The environment dictora-cli runs in: the machine's, in the time zone the
// tests write their stamps in.
inline QProcessEnvironment cliEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", "Asia/Shanghai");
    return env;
}

// Waits for a started dictora-cli and collects what it gave.
inline CliRun finishCli(QProcess& process)
{
    process.waitForFinished(60000);
    CliRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.json = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    run.error = QString::fromUtf8(process.readAllStandardError()).trimmed();
    return run;
}

// Runs dictora-cli as a learner's script does, with --home home after the
// arguments (unless they name it themselves), optionally through a launcher
// such as setpriv.
inline CliRun runCli(QStringList args, const QString& home, const QStringList& launcher = {})
{
    if (!args.contains("--home"))
        args << "--home" << home;
    QProcess process;
    process.setProcessEnvironment(cliEnvironment());
    if (launcher.isEmpty())
        process.start(DICTORA_CLI_PATH, args);
    else
        process.start(launcher.first(), launcher.mid(1) + QStringList{DICTORA_CLI_PATH} + args);
    return finishCli(process);
}

} // namespace dictora::test
