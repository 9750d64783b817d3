// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/x11_windows.h"

#include "core/screensaver/allow_list.h"
#include "platform/desktop/foreground_guard.h"
#include "platform/desktop/x11_window_source.h"
#include "support/server_ready.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace dictora {
namespace {

// A private X server for the test, so it never touches the learner's desktop.
class XServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            GTEST_SKIP() << "Xvfb is not installed";
        // -displayfd 1: the server writes its display number to stdout once
        // it accepts connections.
        server_.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                             QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                             QStringLiteral("-screen"), QStringLiteral("0"),
                             QStringLiteral("800x600x24")});
        QByteArray number;
        while (!number.contains('\n') && server_.waitForReadyRead(test::kServerReadyLimitMs))
            number += server_.readAllStandardOutput();
        ASSERT_TRUE(number.contains('\n')) << "Xvfb did not start";
        displayName_ = ':' + number.trimmed();
        display_ = XOpenDisplay(displayName_.constData());
        ASSERT_NE(display_, nullptr);
        windows_ = X11Windows::connect(displayName_);
        ASSERT_NE(windows_, nullptr);
    }

    void TearDown() override
    {
        windows_.reset();
        if (display_)
            XCloseDisplay(display_);
        if (server_.state() != QProcess::NotRunning) {
            server_.terminate();
            server_.waitForFinished(5000);
        }
    }

    // A mapped top-level window as another program would make it.
    ::Window makeWindow(const char* className, const QByteArray& title, long pid)
    {
        const ::Window root = DefaultRootWindow(display_);
        const ::Window w = XCreateSimpleWindow(display_, root, 40, 30, 200, 100, 0, 0, 0);
        XClassHint hint{const_cast<char*>("probe"), const_cast<char*>(className)};
        XSetClassHint(display_, w, &hint);
        XChangeProperty(display_, w, XInternAtom(display_, "_NET_WM_NAME", False),
                        XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.constData()),
                        int(title.size()));
        if (pid > 0)
            XChangeProperty(display_, w, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL,
                            32, PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
        XMapWindow(display_, w);
        XSync(display_, False);
        return w;
    }

    // Publishes on the root window what a window manager would: itself
    // (check), the stacking order and the window in front.
    void publishDesktop(::Window check, const QList<::Window>& stack, ::Window front)
    {
        const ::Window root = DefaultRootWindow(display_);
        const auto set = [&](const char* name, const ::Window* windows, int count) {
            std::vector<unsigned long> items(windows, windows + count);
            XChangeProperty(display_, root, XInternAtom(display_, name, False), XA_WINDOW, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(items.data()),
                            count);
        };
        set("_NET_SUPPORTING_WM_CHECK", &check, 1);
        set("_NET_CLIENT_LIST_STACKING", stack.constData(), int(stack.size()));
        set("_NET_ACTIVE_WINDOW", &front, 1);
        XSync(display_, False);
    }

    // Another program: an X client of its own (claiming_window) whose window
    // says it belongs to claimedPid, and to `machine` when one is given.
    // Child processes still running at the end of a test are ended there.
    struct EndProcess {
        void operator()(QProcess* process) const
        {
            process->kill();
            process->waitForFinished(5000);
            delete process;
        }
    };
    using Child = std::unique_ptr<QProcess, EndProcess>;

    struct Client {
        Child process{new QProcess};
        ::Window window = 0;
        qint64 pid() const { return process->processId(); }
    };
    Client startClaimingWindow(qint64 claimedPid, const QString& machine = {})
    {
        Client client;
        QStringList arguments{QString::fromLatin1(displayName_), QString::number(claimedPid)};
        if (!machine.isEmpty())
            arguments << machine;
        client.process->start(QStringLiteral(DICTORA_CLAIMING_WINDOW), arguments);
        QByteArray line;
        while (!line.contains('\n') && client.process->waitForReadyRead(10000))
            line += client.process->readAllStandardOutput();
        client.window = ::Window(line.trimmed().toULong());
        return client;
    }

    static Child startSleep()
    {
        Child sleeper(new QProcess);
        sleeper->start(QStringLiteral("sleep"), {QStringLiteral("60")});
        sleeper->waitForStarted();
        return sleeper;
    }

    QProcess server_;
    QByteArray displayName_;
    Display* display_ = nullptr;
    std::unique_ptr<X11Windows> windows_;
};

TEST_F(XServer, DescribesAnotherProgramsWindow)
{
    const ::Window w = makeWindow("DictoraProbe", "听写 probe", long(getpid()));
    const ForeignWindowInfo info = windows_->describe(w);
    EXPECT_EQ(info.className, QStringLiteral("DictoraProbe"));
    EXPECT_EQ(info.title, QStringLiteral("听写 probe"));
    EXPECT_EQ(info.pid, qint64(getpid()));
    EXPECT_EQ(info.executableName, QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    EXPECT_EQ(info.frame, QRect(40, 30, 200, 100));
    EXPECT_TRUE(info.viewable);
    EXPECT_TRUE(windows_->isOwnWindow(w));

    // The owner is what the server knows, not what the window says.
    const ::Window silent = makeWindow("Other", "", 0);
    EXPECT_EQ(windows_->describe(silent).pid, qint64(getpid()));
    EXPECT_TRUE(windows_->isOwnWindow(silent));
}

TEST_F(XServer, ActiveWindowOnlyWhenAWindowManagerSaysSo)
{
    const ::Window w = makeWindow("DictoraProbe", "probe", 0);
    EXPECT_EQ(windows_->activeWindow(), 0u);
    EXPECT_TRUE(windows_->stackingOrder().isEmpty());

    // What a window manager publishes on the root window.
    const ::Window root = DefaultRootWindow(display_);
    XChangeProperty(display_, root, XInternAtom(display_, "_NET_ACTIVE_WINDOW", False), XA_WINDOW,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&w), 1);
    XSync(display_, False);
    EXPECT_EQ(windows_->activeWindow(), quint64(w));
}

TEST_F(XServer, EndsTheWindowsOwnerNeverTheProcessItClaims)
{
    const Child victim = startSleep();
    const qint64 victimPid = victim->processId();

    // This process's window claiming another process is still this one's.
    const ::Window own = makeWindow("Own", "own", long(victimPid));
    const ForeignWindowInfo ownInfo = windows_->describe(own);
    EXPECT_EQ(ownInfo.pid, qint64(getpid()));
    EXPECT_FALSE(ownInfo.mayEnd);
    EXPECT_FALSE(windows_->endProcess(ownInfo));
    EXPECT_FALSE(windows_->forceEndProcess(ownInfo));

    Client client = startClaimingWindow(victimPid);
    ASSERT_NE(client.window, 0u);
    const ForeignWindowInfo info = windows_->describe(client.window);
    EXPECT_EQ(info.pid, client.pid());
    EXPECT_EQ(info.executableName, QStringLiteral("claiming_window"));
    EXPECT_EQ(info.className, QStringLiteral("Claiming"));
    EXPECT_TRUE(info.sameUser);
    EXPECT_TRUE(info.onThisHost);
    EXPECT_FALSE(info.windowManager);
    EXPECT_TRUE(info.mayEnd);

    // A decision on facts that no longer hold is not carried out: another
    // run of a program under the same id, a window of another owner.
    ForeignWindowInfo restarted = info;
    restarted.processStart += 1;
    EXPECT_FALSE(windows_->endProcess(restarted));
    ForeignWindowInfo otherWindow = info;
    otherWindow.id = own;
    EXPECT_FALSE(windows_->endProcess(otherWindow));
    EXPECT_EQ(client.process->state(), QProcess::Running);

    EXPECT_TRUE(windows_->endProcess(info));
    EXPECT_TRUE(client.process->waitForFinished(5000));
    EXPECT_EQ(client.process->exitStatus(), QProcess::CrashExit); // ended by a signal
    EXPECT_EQ(::kill(pid_t(victimPid), 0), 0);
    EXPECT_EQ(victim->state(), QProcess::Running);
}

TEST_F(XServer, NeitherTheWindowManagerNorAnotherHostsWindowMayBeEnded)
{
    Client other = startClaimingWindow(0, QStringLiteral("elsewhere.invalid"));
    const ForeignWindowInfo remote = windows_->describe(other.window);
    EXPECT_EQ(remote.pid, other.pid());
    EXPECT_FALSE(remote.onThisHost);
    EXPECT_FALSE(remote.mayEnd);
    EXPECT_FALSE(windows_->endProcess(remote));

    // The window manager is whoever owns the window it names on the root.
    Client manager = startClaimingWindow(0);
    publishDesktop(manager.window, {manager.window}, manager.window);
    const ForeignWindowInfo info = windows_->describe(manager.window);
    EXPECT_TRUE(info.windowManager);
    EXPECT_FALSE(info.mayEnd);
    EXPECT_FALSE(windows_->forceEndProcess(info));
    EXPECT_EQ(other.process->state(), QProcess::Running);
    EXPECT_EQ(manager.process->state(), QProcess::Running);
}

// The guard as it runs in the program, on an X server with another
// program's window in front of the screensaver.
TEST_F(XServer, GuardEndsTheOwnerOfAWindowThatClaimsAnotherProcess)
{
    class RecordingDesktop : public X11WindowSource {
    public:
        using X11WindowSource::X11WindowSource;
        void minimise(quint64 window) override
        {
            log << QStringLiteral("minimise");
            X11WindowSource::minimise(window);
        }
        void requestClose(quint64 window) override
        {
            log << QStringLiteral("close");
            X11WindowSource::requestClose(window);
        }
        bool endProcess(const ForeignWindowInfo& decidedOn, bool force) override
        {
            const bool ended = X11WindowSource::endProcess(decidedOn, force);
            log << QStringLiteral("%1 %2 %3")
                       .arg(QLatin1String(force ? "kill" : "end"))
                       .arg(decidedOn.pid)
                       .arg(QLatin1String(ended ? "ended" : "refused"));
            return ended;
        }
        QStringList log;
    };
    RecordingDesktop desktop(X11Windows::connect(displayName_));
    const AllowList allow;
    ForegroundGuard guard(desktop, allow, qint64(getpid()));
    const ::Window check = makeWindow("WmCheck", "", 0);
    const ::Window screensaver = makeWindow("Screensaver", "", 0);
    const QRect screensaverRect(-1, -1, 802, 602);
    const Child victim = startSleep();

    Client intruder = startClaimingWindow(victim->processId());
    publishDesktop(check, {screensaver, intruder.window}, intruder.window);
    for (int i = 0; i < 5; ++i)
        guard.guard(quint64(screensaver), screensaverRect);
    EXPECT_EQ(desktop.log, QStringList({"minimise", "close",
                                        QStringLiteral("end %1 ended").arg(intruder.pid())}));
    EXPECT_TRUE(intruder.process->waitForFinished(5000));
    EXPECT_EQ(victim->state(), QProcess::Running);

    // A window of another host is minimised, then left to the learner.
    desktop.log.clear();
    Client remote = startClaimingWindow(victim->processId(), QStringLiteral("elsewhere.invalid"));
    publishDesktop(check, {screensaver, remote.window}, remote.window);
    ForegroundGuard::Step last;
    for (int i = 0; i < 6; ++i)
        last = guard.guard(quint64(screensaver), screensaverRect);
    EXPECT_EQ(desktop.log, QStringList({"minimise"}));
    EXPECT_TRUE(last.closeScreensaver);
    EXPECT_EQ(remote.process->state(), QProcess::Running);
    EXPECT_EQ(victim->state(), QProcess::Running);
}

TEST_F(XServer, ReadsWhatTheWindowManagerPublishes)
{
    const ::Window root = DefaultRootWindow(display_);
    const auto atom = [this](const char* name) { return XInternAtom(display_, name, False); };
    EXPECT_FALSE(windows_->hasWindowManager());
    const ::Window check = makeWindow("WmCheck", "", 0);
    XChangeProperty(display_, root, atom("_NET_SUPPORTING_WM_CHECK"), XA_WINDOW, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&check), 1);
    XSync(display_, False);
    EXPECT_TRUE(windows_->hasWindowManager());

    const ::Window panel = makeWindow("Panel", "panel", 0);
    const Atom dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
    XChangeProperty(display_, panel, atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&dock), 1);
    const Atom closeOnly = atom("_NET_WM_ACTION_CLOSE");
    XChangeProperty(display_, panel, atom("_NET_WM_ALLOWED_ACTIONS"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&closeOnly), 1);
    XSync(display_, False);
    const ForeignWindowInfo info = windows_->describe(panel);
    EXPECT_TRUE(info.desktopOrPanel);
    EXPECT_FALSE(info.canMinimise);
    EXPECT_TRUE(info.canClose);

    const ForeignWindowInfo plain = windows_->describe(makeWindow("Plain", "plain", 0));
    EXPECT_FALSE(plain.desktopOrPanel);
    EXPECT_TRUE(plain.canMinimise); // nothing published: nothing forbidden
    EXPECT_TRUE(plain.canClose);

    XDestroyWindow(display_, check);
    XSync(display_, False);
    EXPECT_FALSE(windows_->hasWindowManager()); // the name outlived the window manager
}

TEST_F(XServer, GuardSeesNoWindowInFrontWithoutAWindowManager)
{
    const ::Window w = makeWindow("Intruder", "intruder", 0);
    const ::Window root = DefaultRootWindow(display_);
    XChangeProperty(display_, root, XInternAtom(display_, "_NET_ACTIVE_WINDOW", False), XA_WINDOW,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&w), 1);
    XSync(display_, False);
    // A stale active window left by a window manager that has gone.
    X11WindowSource source(X11Windows::connect(displayName_));
    EXPECT_EQ(source.foregroundWindow(), 0u);

    const ::Window check = makeWindow("WmCheck", "", 0);
    XChangeProperty(display_, root, XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False),
                    XA_WINDOW, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&check),
                    1);
    XSync(display_, False);
    EXPECT_EQ(source.foregroundWindow(), quint64(w));
}

TEST(X11WindowsWithoutDisplay, NotAvailable)
{
    EXPECT_EQ(X11Windows::connect(":999999"), nullptr);
    EXPECT_TRUE(executableNameOfProcess(0).isEmpty());
    EXPECT_TRUE(isSameUserProcess(getpid()));
    EXPECT_FALSE(isSameUserProcess(-5));
}

} // namespace
} // namespace dictora
