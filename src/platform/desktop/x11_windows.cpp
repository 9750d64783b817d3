#include "platform/desktop/x11_windows.h"

#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <iterator>
#include <utility>
#include <sys/stat.h>
#include <unistd.h>

// Xlib last: its macros (None, Status, Bool) clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace dictora {

struct X11Windows::Connection {
    Display* display = nullptr;
    ::Window root = 0;
    Atom activeWindow = 0;
    Atom clientListStacking = 0;
    Atom wmPid = 0;
    Atom wmName = 0;
    Atom utf8String = 0;
    Atom closeWindow = 0;
    Atom supportingWmCheck = 0;
    Atom windowType = 0;
    Atom typeDesktop = 0;
    Atom typeDock = 0;
    Atom allowedActions = 0;
    Atom actionMinimise = 0;
    Atom actionClose = 0;

    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }

    // One property of a window as raw items; empty when it is missing.
    QByteArray property(::Window window, Atom name, Atom type, int& format,
                        unsigned long& count) const
    {
        Atom actualType = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        count = 0;
        format = 0;
        if (XGetWindowProperty(display, window, name, 0, 1 << 16, False, type, &actualType, &format,
                               &count, &after, &data) != Success ||
            !data)
            return {};
        const int itemSize = format == 32 ? int(sizeof(long)) : format / 8;
        QByteArray bytes(reinterpret_cast<const char*>(data), int(count) * itemSize);
        XFree(data);
        return bytes;
    }

    // The process id a window states (_NET_WM_PID); 0 when it does not.
    qint64 pid(::Window window) const
    {
        int format = 0;
        unsigned long count = 0;
        const QByteArray bytes = property(window, wmPid, XA_CARDINAL, format, count);
        if (format != 32 || count != 1)
            return 0;
        return qint64(*reinterpret_cast<const unsigned long*>(bytes.constData()));
    }

    // The process of a window that may be ended from here: another process
    // of the same user, neither this one nor init; 0 for any other.
    qint64 endablePid(quint64 window) const
    {
        const qint64 owner = window != 0 ? pid(::Window(window)) : 0;
        return owner > 1 && owner != qint64(getpid()) && isSameUserProcess(owner) ? owner : 0;
    }

    QList<quint64> windowList(::Window window, Atom name) const
    {
        return items(window, name, XA_WINDOW);
    }

    // A property of 32-bit items (windows, atoms) as a list.
    QList<quint64> items(::Window window, Atom name, Atom type) const
    {
        int format = 0;
        unsigned long count = 0;
        const QByteArray bytes = property(window, name, type, format, count);
        QList<quint64> list;
        if (format != 32)
            return list;
        const auto* values = reinterpret_cast<const unsigned long*>(bytes.constData());
        for (unsigned long i = 0; i < count; ++i)
            list << quint64(values[i]);
        return list;
    }
};

namespace {

// Xlib reports errors through a global handler that ends the process by
// default; a window that vanishes between two calls must not do that.
int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

std::unique_ptr<X11Windows> X11Windows::connect(const QByteArray& displayName)
{
    auto x = std::make_unique<Connection>();
    x->display = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
    if (!x->display)
        return nullptr;
    XSetErrorHandler(ignoreErrors);
    x->root = DefaultRootWindow(x->display);
    // All the names in one round trip to the server.
    const std::pair<Atom*, const char*> atoms[] = {
        {&x->activeWindow, "_NET_ACTIVE_WINDOW"},
        {&x->clientListStacking, "_NET_CLIENT_LIST_STACKING"},
        {&x->wmPid, "_NET_WM_PID"},
        {&x->wmName, "_NET_WM_NAME"},
        {&x->utf8String, "UTF8_STRING"},
        {&x->closeWindow, "_NET_CLOSE_WINDOW"},
        {&x->supportingWmCheck, "_NET_SUPPORTING_WM_CHECK"},
        {&x->windowType, "_NET_WM_WINDOW_TYPE"},
        {&x->typeDesktop, "_NET_WM_WINDOW_TYPE_DESKTOP"},
        {&x->typeDock, "_NET_WM_WINDOW_TYPE_DOCK"},
        {&x->allowedActions, "_NET_WM_ALLOWED_ACTIONS"},
        {&x->actionMinimise, "_NET_WM_ACTION_MINIMIZE"},
        {&x->actionClose, "_NET_WM_ACTION_CLOSE"},
    };
    constexpr int kAtomCount = int(std::size(atoms));
    char* names[kAtomCount];
    Atom values[kAtomCount];
    for (int i = 0; i < kAtomCount; ++i)
        names[i] = const_cast<char*>(atoms[i].second);
    XInternAtoms(x->display, names, kAtomCount, False, values);
    for (int i = 0; i < kAtomCount; ++i)
        *atoms[i].first = values[i];
    return std::unique_ptr<X11Windows>(new X11Windows(std::move(x)));
}

X11Windows::X11Windows(std::unique_ptr<Connection> connection) : x_(std::move(connection)) {}

X11Windows::~X11Windows() = default;

quint64 X11Windows::activeWindow() const
{
    const QList<quint64> active = x_->windowList(x_->root, x_->activeWindow);
    return active.isEmpty() ? 0 : active.first();
}

QList<quint64> X11Windows::stackingOrder() const
{
    return x_->windowList(x_->root, x_->clientListStacking);
}

ForeignWindowInfo X11Windows::describe(quint64 id) const
{
    ForeignWindowInfo info;
    info.id = id;
    if (id == 0)
        return info;
    const ::Window window = ::Window(id);

    info.pid = x_->pid(window);
    info.executableName = executableNameOfProcess(info.pid);
    info.sameUser = isSameUserProcess(info.pid);
    const QList<quint64> types = x_->items(window, x_->windowType, XA_ATOM);
    info.desktopOrPanel = types.contains(x_->typeDesktop) || types.contains(x_->typeDock);
    const QList<quint64> actions = x_->items(window, x_->allowedActions, XA_ATOM);
    if (!actions.isEmpty()) {
        info.canMinimise = actions.contains(x_->actionMinimise);
        info.canClose = actions.contains(x_->actionClose);
    }

    XClassHint hint{};
    if (XGetClassHint(x_->display, window, &hint)) {
        info.className = QString::fromLocal8Bit(hint.res_class);
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    int format = 0;
    unsigned long count = 0;
    const QByteArray title = x_->property(window, x_->wmName, x_->utf8String, format, count);
    if (format == 8 && !title.isEmpty()) {
        info.title = QString::fromUtf8(title);
    } else {
        const QByteArray old = x_->property(window, XA_WM_NAME, XA_STRING, format, count);
        info.title = QString::fromLatin1(old);
    }

    XWindowAttributes attributes{};
    if (XGetWindowAttributes(x_->display, window, &attributes)) {
        int x = 0;
        int y = 0;
        ::Window child = 0;
        XTranslateCoordinates(x_->display, window, x_->root, 0, 0, &x, &y, &child);
        info.frame = QRect(x, y, attributes.width, attributes.height);
        info.viewable = attributes.map_state == IsViewable;
    }
    return info;
}

bool X11Windows::isOwnWindow(quint64 window) const
{
    return window != 0 && x_->pid(::Window(window)) == qint64(getpid());
}

bool X11Windows::hasWindowManager() const
{
    // The window manager keeps a child window of its own and names it on the
    // root; the name outlives a window manager that has gone, the window not.
    const QList<quint64> check = x_->windowList(x_->root, x_->supportingWmCheck);
    if (check.isEmpty())
        return false;
    XWindowAttributes attributes{};
    return XGetWindowAttributes(x_->display, ::Window(check.first()), &attributes) != 0;
}

void X11Windows::minimise(quint64 window)
{
    XIconifyWindow(x_->display, ::Window(window), DefaultScreen(x_->display));
    XFlush(x_->display);
}

void X11Windows::requestClose(quint64 window)
{
    // The window manager's close request, which sends WM_DELETE_WINDOW the
    // way the window's close box does.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = ::Window(window);
    event.xclient.message_type = x_->closeWindow;
    event.xclient.format = 32;
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = 2; // from a pager or a tool, not the application
    XSendEvent(x_->display, x_->root, False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XFlush(x_->display);
}

bool X11Windows::endProcess(quint64 window)
{
    const qint64 pid = x_->endablePid(window);
    return pid != 0 && ::kill(pid_t(pid), SIGTERM) == 0;
}

bool X11Windows::forceEndProcess(quint64 window)
{
    const qint64 pid = x_->endablePid(window);
    return pid != 0 && ::kill(pid_t(pid), SIGKILL) == 0;
}

QString executableNameOfProcess(qint64 pid)
{
    if (pid <= 0)
        return {};
    const QString target = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    return QFileInfo(target).fileName();
}

bool isSameUserProcess(qint64 pid)
{
    struct stat status {};
    const QByteArray path = QStringLiteral("/proc/%1").arg(pid).toLocal8Bit();
    return pid > 0 && ::stat(path.constData(), &status) == 0 && status.st_uid == getuid();
}

} // namespace dictora
