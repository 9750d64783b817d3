// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/x11_windows.h"

#include "platform/desktop/process_facts.h"

#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <iterator>
#include <utility>
#include <sys/syscall.h>
#include <unistd.h>

// Xlib last: its macros (None, Status, Bool) clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>

namespace dictora {

struct X11Windows::Connection {
    Display* display = nullptr;
    ::Window root = 0;
    Atom activeWindow = 0;
    Atom clientListStacking = 0;
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
    // The server names the client behind a window (X-Resource 1.2 and later).
    bool canNameOwners = false;
    ProcessFacts self;
    QByteArray hostName;

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

    // The process of the client that made a window, as the server knows it
    // from the client's local connection; 0 when it cannot tell.
    qint64 owner(::Window window) const
    {
        if (!canNameOwners || window == 0)
            return 0;
        XResClientIdSpec spec{window, XRES_CLIENT_ID_PID_MASK};
        long count = 0;
        XResClientIdValue* ids = nullptr;
        if (XResQueryClientIds(display, 1, &spec, &count, &ids) != Success)
            return 0;
        qint64 pid = 0;
        for (long i = 0; i < count; ++i) {
            if (XResGetClientIdType(&ids[i]) == XRES_CLIENT_ID_PID)
                pid = qMax<qint64>(0, XResGetClientPid(&ids[i]));
        }
        XResClientIdsDestroy(count, ids);
        return pid;
    }

    ::Window windowManagerCheck() const
    {
        const QList<quint64> check = windowList(root, supportingWmCheck);
        return check.isEmpty() ? 0 : ::Window(check.first());
    }

    // The window manager's process: the owner of the window it keeps to show
    // that it runs, whatever that window or any other claims.
    qint64 windowManager() const { return owner(windowManagerCheck()); }

    // WM_CLIENT_MACHINE: a window without one is taken to be local, as the
    // server named its owner from a local connection.
    bool onThisHost(::Window window) const
    {
        XTextProperty machine{};
        if (!XGetWMClientMachine(display, window, &machine) || !machine.value)
            return true;
        const QByteArray name(reinterpret_cast<const char*>(machine.value), int(machine.nitems));
        XFree(machine.value);
        return name.isEmpty() || name.compare(hostName, Qt::CaseInsensitive) == 0;
    }

    // Whether the process may be ended now: the owner still, on this host,
    // and allowed by endRefusal.
    bool mayEnd(::Window window, const ProcessFacts& owner, qint64 ownerPid) const
    {
        return ownerPid > 0 && onThisHost(window) &&
               endRefusal(owner, self, windowManager()) == EndRefusal::Allowed;
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
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    x->canNameOwners = XResQueryExtension(x->display, &eventBase, &errorBase) &&
                       XResQueryVersion(x->display, &major, &minor) &&
                       (major > 1 || (major == 1 && minor >= 2));
    x->self = readProcessFacts(qint64(getpid()));
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0)
        x->hostName = QByteArray(host);
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

    info.pid = x_->owner(window);
    const ProcessFacts owner = readProcessFacts(info.pid);
    info.processStart = owner.startTime;
    info.executableName = executableNameOfProcess(info.pid);
    info.sameUser =
        owner.known && owner.realUid == x_->self.realUid && owner.effectiveUid == x_->self.realUid;
    info.onThisHost = x_->onThisHost(window);
    info.windowManager = info.pid > 0 && info.pid == x_->windowManager();
    info.mayEnd = x_->mayEnd(window, owner, info.pid);
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
    return window != 0 && x_->owner(::Window(window)) == qint64(getpid());
}

bool X11Windows::hasWindowManager() const
{
    // The window manager keeps a child window of its own and names it on the
    // root; the name outlives a window manager that has gone, the window not.
    const ::Window check = x_->windowManagerCheck();
    XWindowAttributes attributes{};
    return check != 0 && XGetWindowAttributes(x_->display, check, &attributes) != 0;
}

qint64 X11Windows::ownerOf(quint64 window) const
{
    return x_->owner(::Window(window));
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

namespace {

// Signals a process through a descriptor of the process itself once
// `stillTheOne` has said yes: a process that ends after the check cannot
// hand its id to another before the signal, as it could to kill(). (Called
// through syscall(): Debian 12's <sys/pidfd.h> does not declare its
// functions for C++.)
template <typename Check> bool signalProcess(qint64 pid, int signal, Check stillTheOne)
{
    const int handle = int(::syscall(SYS_pidfd_open, pid_t(pid), 0u));
    if (handle < 0 && errno != ENOSYS)
        return false; // gone already, or a thread rather than a process
    bool sent = false;
    if (stillTheOne())
        sent = handle >= 0 ? ::syscall(SYS_pidfd_send_signal, handle, signal, nullptr, 0u) == 0
                           : ::kill(pid_t(pid), signal) == 0; // kernels before 5.3
    if (handle >= 0)
        ::close(handle);
    return sent;
}

} // namespace

bool X11Windows::signalOwner(const ForeignWindowInfo& decidedOn, int signal)
{
    if (!decidedOn.mayEnd || decidedOn.pid <= 1 || decidedOn.id == 0)
        return false;
    const ::Window window = ::Window(decidedOn.id);
    return signalProcess(decidedOn.pid, signal, [&] {
        // The decision was made on facts of some moments ago: the window may
        // have gone to another client, its process may have ended and its id
        // gone to a new one.
        if (x_->owner(window) != decidedOn.pid)
            return false;
        const ProcessFacts now = readProcessFacts(decidedOn.pid);
        return now.startTime == decidedOn.processStart && x_->mayEnd(window, now, decidedOn.pid);
    });
}

bool X11Windows::endProcess(const ForeignWindowInfo& decidedOn)
{
    return signalOwner(decidedOn, SIGTERM);
}

bool X11Windows::forceEndProcess(const ForeignWindowInfo& decidedOn)
{
    return signalOwner(decidedOn, SIGKILL);
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
    const ProcessFacts facts = readProcessFacts(pid);
    const qint64 user = qint64(getuid());
    return facts.known && facts.realUid == user && facts.effectiveUid == user;
}

} // namespace dictora
