// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/foreground_guard.h"

#include "core/screensaver/allow_list.h"
#include "platform/desktop/window_source.h"

namespace dictora {

namespace {

// Ticks from first sight of an intruder to the end of its process.
constexpr int kLastTick = 4;

// Rectangles that overlap or only touch at an edge.
bool touches(const QRect& a, const QRect& b)
{
    return a.left() <= b.right() + 1 && b.left() <= a.right() + 1 && a.top() <= b.bottom() + 1 &&
           b.top() <= a.bottom() + 1;
}

} // namespace

ForegroundGuard::ForegroundGuard(WindowSource& source, const AllowList& allowList,
                                 qint64 ownProcessId, const QString& ownExecutableName)
    : source_(source), allowList_(allowList), ownProcessId_(ownProcessId),
      ownExecutableName_(ownExecutableName)
{
}

bool ForegroundGuard::liesAbove(quint64 window, quint64 screensaverWindow)
{
    const QList<quint64> stack = source_.stackingOrder();
    const qsizetype own = stack.indexOf(screensaverWindow);
    const qsizetype other = stack.indexOf(window);
    // A screensaver the window manager does not list is under everything it
    // lists; a window it does not list cannot be placed and is left alone.
    return other >= 0 && other > own;
}

bool ForegroundGuard::isIntruder(const ForeignWindowInfo& info, const QRect& screensaverRect,
                                 quint64 screensaverWindow)
{
    const quint64 window = info.id;
    if (window == 0 || window == screensaverWindow)
        return false;
    if (info.pid == ownProcessId_ || info.windowManager || info.desktopOrPanel ||
        (info.pid > 0 && !info.sameUser))
        return false;
    if (!ownExecutableName_.isEmpty() && info.executableName == ownExecutableName_)
        return false;
    if (allowList_.allows(info.executableName, info.className, info.title))
        return false;
    return info.viewable && touches(info.frame, screensaverRect) &&
           liesAbove(window, screensaverWindow);
}

ForegroundGuard::Step ForegroundGuard::guard(quint64 screensaverWindow,
                                             const QRect& screensaverRect)
{
    Step step;
    const quint64 window = source_.foregroundWindow();
    const ForeignWindowInfo info = window != 0 ? source_.describe(window) : ForeignWindowInfo{};
    if (!isIntruder(info, screensaverRect, screensaverWindow)) {
        intruder_ = 0;
        intruderPid_ = 0;
        intruderStart_ = 0;
        intruderTicks_ = 0;
        return step;
    }
    const bool sameOwner = info.pid == intruderPid_ && info.processStart == intruderStart_;
    if (window == intruder_ && sameOwner) {
        if (intruderTicks_ < kLastTick)
            ++intruderTicks_;
        else
            step.closeScreensaver = true;
    } else {
        intruder_ = window;
        intruderPid_ = info.pid;
        intruderStart_ = info.processStart;
        intruderTicks_ = 0;
    }

    step.acted = true;
    // A window whose process may not be ended is minimised, nothing more.
    const int tick = info.mayEnd || intruderTicks_ == 0 ? intruderTicks_ : 1;
    switch (tick) {
    case 0:
        step.action = Action::Minimise;
        if (info.canMinimise)
            source_.minimise(window);
        break;
    case 2:
        step.action = Action::RequestClose;
        if (info.canClose)
            source_.requestClose(window);
        break;
    case kLastTick:
        step.action = Action::EndProcess;
        source_.endProcess(info, step.closeScreensaver);
        break;
    default:
        step.action = Action::Wait;
        break;
    }
    return step;
}

} // namespace dictora
