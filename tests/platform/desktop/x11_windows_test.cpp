#include "platform/desktop/x11_windows.h"

#include "platform/desktop/x11_window_source.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

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
        while (!number.contains('\n') && server_.waitForReadyRead(10000))
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

    const ::Window silent = makeWindow("Other", "", 0);
    const ForeignWindowInfo other = windows_->describe(silent);
    EXPECT_EQ(other.pid, 0);
    EXPECT_TRUE(other.executableName.isEmpty());
    EXPECT_FALSE(windows_->isOwnWindow(silent));
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

TEST_F(XServer, EndsOnlyOtherProcessesOfTheSameUser)
{
    const ::Window own = makeWindow("Own", "own", long(getpid()));
    EXPECT_FALSE(windows_->endProcess(own)); // never itself
    const ::Window nameless = makeWindow("Nameless", "x", 0);
    EXPECT_FALSE(windows_->endProcess(nameless));

    QProcess child;
    child.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(child.waitForStarted());
    const ::Window intruder = makeWindow("Intruder", "intruder", long(child.processId()));
    EXPECT_EQ(windows_->describe(intruder).executableName, QStringLiteral("sleep"));
    EXPECT_TRUE(windows_->endProcess(intruder));
    EXPECT_TRUE(child.waitForFinished(5000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit); // ended by a signal
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
