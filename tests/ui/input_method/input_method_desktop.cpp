// SPDX-License-Identifier: GPL-3.0-or-later
#include "input_method_desktop.h"

#include "support/server_ready.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

namespace dictora::test {

namespace {

bool writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.flush();
}

// One group with the US keyboard and pinyin, pinyin on from the start.
const char kProfile[] = "[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=pinyin\n\n"
                        "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
                        "[Groups/0/Items/1]\nName=pinyin\nLayout=\n\n"
                        "[GroupOrder]\n0=Default\n";
const char kConfig[] = "[Behavior]\nActiveByDefault=True\nShareInputState=All\n";

} // namespace

void InputMethodDesktop::start()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QStringList missing =
        PrivateDesktop::missingPrograms({"Xvfb", "dbus-daemon", "dbus-send", "fcitx5", "xdotool"});
    if (!missing.isEmpty()) {
        unavailable_ = QStringLiteral("not installed: ") + missing.join(u' ');
        return;
    }
    if (!QFileInfo::exists(QStringLiteral("/usr/share/fcitx5/inputmethod/pinyin.conf"))) {
        unavailable_ = QStringLiteral("fcitx5-chinese-addons (pinyin) is not installed");
        return;
    }
    if (!desktop_.start()) {
        unavailable_ = desktop_.error();
        return;
    }
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/fcitx5/");
    if (!writeFile(config + QStringLiteral("profile"), kProfile) ||
        !writeFile(config + QStringLiteral("config"), kConfig)) {
        unavailable_ = QStringLiteral("cannot write the fcitx5 configuration");
        return;
    }
    // Only what typing pinyin into a Qt program needs: no tray, no panel,
    // no cloud look-ups.
    desktop_.startService(QStringLiteral("fcitx5"),
                          {QStringLiteral("--disable=all"),
                           QStringLiteral("--enable=dbus,dbusfrontend,xcb,keyboard,pinyin,punctuation")});
    // fcitx5 is ready when it answers on the bus with its input method on.
    QDeadlineTimer deadline(kServerReadyLimitMs);
    QByteArray state;
    while (!deadline.hasExpired()) {
        if (desktop_.run(QStringLiteral("fcitx5-remote"), {}, 5000, &state) == 0 &&
            state.trimmed() == "2")
            break;
        QTest::qSleep(50);
    }
    if (state.trimmed() != "2") {
        unavailable_ = QStringLiteral("fcitx5 did not come up on the session bus");
        return;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_IM_MODULE", "fcitx");
}

bool InputMethodDesktop::waitForFocusedInputContext(int timeoutMs)
{
    const QByteArray program = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
    return QTest::qWaitFor(
        [&] {
            QByteArray info;
            desktop_.run(QStringLiteral("dbus-send"),
                         {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                          QStringLiteral("--dest=org.fcitx.Fcitx5"), QStringLiteral("/controller"),
                          QStringLiteral("org.fcitx.Fcitx.Controller1.DebugInfo")},
                         5000, &info);
            for (const QByteArray& line : info.split('\n')) {
                if (line.contains("program:" + program) && line.contains("focus:1"))
                    return true;
            }
            return false;
        },
        timeoutMs);
}

bool InputMethodDesktop::typeKeys(const QStringList& keys)
{
    // Run while this program's event loop goes on, so it reads the keys and
    // talks to fcitx5 as they come.
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")} +
                      keys);
    const bool ended = QTest::qWaitFor(
        [&] { return xdotool.state() == QProcess::NotRunning; }, 15000);
    return ended && xdotool.exitCode() == 0;
}

} // namespace dictora::test
