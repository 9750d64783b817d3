// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/display_platform.h"

#include "support/server_ready.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(DisplayPlatform, XWaylandBeforeWaylandAndTheLearnersChoiceFirst)
{
    struct Case {
        const char *qtPlatform, *display, *waylandDisplay, *chosen;
    };
    const Case cases[] = {
        {"", ":0", "", "xcb"},                  // X11 session
        {"", ":0", "wayland-0", "xcb"},         // Wayland session with XWayland
        {"", "", "wayland-0", "wayland"},       // Wayland only
        {"wayland", ":0", "wayland-0", "wayland"}, // the learner's choice
        {"offscreen", "", "", "offscreen"},
        {"", "", "", ""},                       // no display: Qt says so
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseDisplayPlatform(c.qtPlatform, c.display, c.waylandDisplay), c.chosen)
            << c.display << " " << c.waylandDisplay;
}

// A Wayland session of the test's own: weston without a screen, with
// XWayland, and the real program started in it as a desktop would.
class WaylandSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* program : {"weston", "Xwayland"}) {
            if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty())
                GTEST_SKIP() << program << " is not installed";
        }
        ASSERT_TRUE(runtime_.isValid());
        QFile::setPermissions(runtime_.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString log = runtime_.filePath(QStringLiteral("weston.log"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        weston_.setProcessEnvironment(env);
        weston_.setProcessChannelMode(QProcess::MergedChannels);
        weston_.setStandardOutputFile(QProcess::nullDevice());
        weston_.start(QStringLiteral("weston"),
                      {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--xwayland"),
                       QStringLiteral("--socket=wayland-dictora"), QStringLiteral("--idle-time=0"),
                       QStringLiteral("--log=") + log});
        // Ready when the socket is there and XWayland has its display.
        const QRegularExpression listening(QStringLiteral("xserver listening on display (:\\d+)"));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                QFile file(log);
                if (!file.open(QIODevice::ReadOnly))
                    return false;
                const QRegularExpressionMatch m = listening.match(QString::fromUtf8(file.readAll()));
                if (m.hasMatch())
                    xDisplay_ = m.captured(1);
                return m.hasMatch() &&
                       QFileInfo::exists(runtime_.filePath(QStringLiteral("wayland-dictora")));
            },
            test::kServerReadyLimitMs))
            << "weston did not start";
    }

    void TearDown() override
    {
        if (weston_.state() != QProcess::NotRunning) {
            weston_.terminate();
            if (!weston_.waitForFinished(5000))
                weston_.kill();
        }
    }

    // Starts Dictora in the session up to its first painted screen; what it
    // reports ("first-frame-ms N platform=NAME") and says on standard error.
    QByteArray startDictora(bool withXWayland, QByteArray* errors)
    {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-dictora"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (withXWayland)
            env.insert(QStringLiteral("DISPLAY"), xDisplay_);
        else
            env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("DICTORA_HOME"), home.path());
        env.insert(QStringLiteral("DICTORA_REPORT_FIRST_FRAME"), QStringLiteral("1"));
        QProcess dictora;
        dictora.setProcessEnvironment(env);
        dictora.start(QStringLiteral(DICTORA_PROGRAM), {});
        if (!dictora.waitForFinished(60000))
            dictora.kill();
        *errors = dictora.readAllStandardError();
        return dictora.readAllStandardOutput();
    }

    QTemporaryDir runtime_;
    QProcess weston_;
    QString xDisplay_;
};

TEST_F(WaylandSession, RunsThroughXWaylandWhenThereAndAsAWaylandClientWithout)
{
    QByteArray errors;
    const QByteArray viaX = startDictora(true, &errors);
    EXPECT_TRUE(viaX.startsWith("first-frame-ms ")) << viaX.constData() << errors.constData();
    EXPECT_TRUE(viaX.trimmed().endsWith("platform=xcb")) << viaX.constData();

    const QByteArray waylandOnly = startDictora(false, &errors);
    EXPECT_TRUE(waylandOnly.startsWith("first-frame-ms "))
        << waylandOnly.constData() << errors.constData();
    EXPECT_TRUE(waylandOnly.trimmed().endsWith("platform=wayland")) << waylandOnly.constData();
}

} // namespace
} // namespace dictora
