// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

#include <memory>

namespace dictora {

// What the program may learn about another program's top-level window.
struct ForeignWindowInfo {
    quint64 id = 0;
    // The process that owns the window, as the X server names it (the
    // X-Resource extension): 0 when it cannot, for a client over the network
    // or a server without the extension. What a window says of itself
    // (_NET_WM_PID) names any process it likes and is never asked.
    qint64 pid = 0;
    quint64 processStart = 0; // with pid, names one run of one program
    QString className;        // the class part of WM_CLASS
    QString title;            // _NET_WM_NAME, else WM_NAME
    QString executableName;   // file name of the owner's executable
    QRect frame;              // on the screen
    bool viewable = false;
    bool sameUser = false;       // the owner runs as this program's user
    bool onThisHost = true;      // WM_CLIENT_MACHINE names this host, or nothing
    bool windowManager = false;  // the owner is the window manager
    bool desktopOrPanel = false; // the window manager's desktop, a panel or a dock
    // Its owner is known, on this host, and a process that may be ended
    // (endRefusal); a window without it is at most minimised.
    bool mayEnd = false;
    // What the window manager lets be done to it (_NET_WM_ALLOWED_ACTIONS);
    // both true when it does not say.
    bool canMinimise = true;
    bool canClose = true;
};

// Other programs' windows on an X11 desktop, read through the window
// manager's published properties (_NET_ACTIVE_WINDOW, _NET_CLIENT_LIST_STACKING)
// and the X server's own record of which client made a window (X-Resource).
// It has its own connection to the display, independent of Qt's.
// On Wayland, offscreen or without a window manager it is not available and
// the callers do nothing.
class X11Windows {
public:
    // nullptr when no X11 display can be opened (displayName empty: $DISPLAY).
    static std::unique_ptr<X11Windows> connect(const QByteArray& displayName = {});
    ~X11Windows();
    X11Windows(const X11Windows&) = delete;
    X11Windows& operator=(const X11Windows&) = delete;

    // The window manager's active window, 0 when there is none or no window
    // manager publishes it.
    quint64 activeWindow() const;
    ForeignWindowInfo describe(quint64 window) const;
    // Managed top-level windows, bottom first.
    QList<quint64> stackingOrder() const;
    // Whether the window belongs to this process.
    bool isOwnWindow(quint64 window) const;
    // Whether a window manager that follows the desktop conventions runs
    // (_NET_SUPPORTING_WM_CHECK names a window that exists).
    bool hasWindowManager() const;
    // The process that owns a window, as the X server names it; 0 when it
    // cannot.
    qint64 ownerOf(quint64 window) const;

    void minimise(quint64 window);
    // Asks the window to close, as its close box would.
    void requestClose(quint64 window);
    // Ends the process a description named (SIGTERM), if it may be ended
    // (ForeignWindowInfo::mayEnd) and, checked again just before the signal,
    // still owns the window and is the same run of its program (a process
    // that ended may have left its id to another). False when refused.
    bool endProcess(const ForeignWindowInfo& decidedOn);
    // The same for a process that did not end when asked: SIGKILL.
    bool forceEndProcess(const ForeignWindowInfo& decidedOn);

private:
    struct Connection;
    explicit X11Windows(std::unique_ptr<Connection> connection);
    bool signalOwner(const ForeignWindowInfo& decidedOn, int signal);
    std::unique_ptr<Connection> x_;
};

// The executable's file name of a process ("firefox-esr"), empty when it
// cannot be read.
QString executableNameOfProcess(qint64 pid);
// Whether a process runs as the same user as this one (real and effective
// user id).
bool isSameUserProcess(qint64 pid);

} // namespace dictora
