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
    qint64 pid = 0;         // 0 when the window does not say
    QString className;      // the class part of WM_CLASS
    QString title;          // _NET_WM_NAME, else WM_NAME
    QString executableName; // file name of the process's executable
    QRect frame;            // on the screen
    bool viewable = false;
    bool sameUser = false;       // the process runs as this program's user
    bool desktopOrPanel = false; // the window manager's desktop, a panel or a dock
    // What the window manager lets be done to it (_NET_WM_ALLOWED_ACTIONS);
    // both true when it does not say.
    bool canMinimise = true;
    bool canClose = true;
};

// Other programs' windows on an X11 desktop, read through the window
// manager's published properties (_NET_ACTIVE_WINDOW, _NET_CLIENT_LIST_STACKING,
// _NET_WM_PID). It has its own connection to the display, independent of Qt's.
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

    void minimise(quint64 window);
    // Asks the window to close, as its close box would.
    void requestClose(quint64 window);
    // Ends the process that shows the window. Refused (false) for this
    // process, for another user's process and when the window names none.
    bool endProcess(quint64 window);
    // The same, for a process that did not end when asked: it cannot refuse.
    bool forceEndProcess(quint64 window);

private:
    struct Connection;
    explicit X11Windows(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> x_;
};

// The executable's file name of a process ("firefox-esr"), empty when it
// cannot be read.
QString executableNameOfProcess(qint64 pid);
// Whether a process runs as the same user as this one.
bool isSameUserProcess(qint64 pid);

} // namespace dictora
