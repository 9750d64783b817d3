// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace dictora::test {

// A desktop of the test's own, so desktop tests never touch the learner's
// session and run the same on a machine without a display: an X server
// (Xvfb), a D-Bus session bus and whatever services the test starts on them
// (an input method, the accessibility bus). Everything it starts ends with
// it. Configuration and data of the services live in a temporary home.
class PrivateDesktop {
public:
    PrivateDesktop();
    ~PrivateDesktop();
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    // The programs the desktop needs that are not installed (empty: all are).
    static QStringList missingPrograms(const QStringList& programs);

    // Starts Xvfb and the session bus and puts DISPLAY,
    // DBUS_SESSION_BUS_ADDRESS, HOME and the XDG folders of this process's
    // environment on them. False, with error() saying why, when either
    // does not come up.
    bool start();
    // Starts a service with the desktop's environment and keeps it until the
    // desktop ends.
    QProcess& startService(const QString& program, const QStringList& arguments);
    // Runs a program to its end (at most timeoutMs) with the desktop's
    // environment; its exit code, or -1 when it did not end normally.
    int run(const QString& program, const QStringList& arguments, int timeoutMs = 10000,
            QByteArray* output = nullptr);

    QString home() const { return home_.path(); }
    QByteArray display() const { return display_; }
    QByteArray busAddress() const { return busAddress_; }
    const QString& error() const { return error_; }

private:
    // Reads the first line a process writes to standard output.
    static QByteArray firstLine(QProcess& process, int timeoutMs);

    QTemporaryDir home_;
    QProcess xvfb_;
    QProcess bus_;
    std::vector<std::unique_ptr<QProcess>> services_;
    QByteArray display_;
    QByteArray busAddress_;
    QString error_;
};

} // namespace dictora::test
