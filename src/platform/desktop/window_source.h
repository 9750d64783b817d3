// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/x11_windows.h"

#include <QList>

namespace dictora {

// The desktop as the foreground guard sees it: which window is in front,
// what is known about a window, the stacking order, and the three things
// the guard may do to another program's window. The X11 desktop is one
// source; tests use a made-up desktop.
class WindowSource {
public:
    virtual ~WindowSource() = default;

    // The window in front, 0 when none can be told.
    virtual quint64 foregroundWindow() = 0;
    virtual ForeignWindowInfo describe(quint64 window) = 0;
    // Top-level windows, bottom first.
    virtual QList<quint64> stackingOrder() = 0;

    virtual void minimise(quint64 window) = 0;
    // Asks the window to close, as its close box would.
    virtual void requestClose(quint64 window) = 0;
    // Ends the process a description of its window named, once it has made
    // sure that process still owns the window; force: it did not end when
    // asked before. False when it refused or failed.
    virtual bool endProcess(const ForeignWindowInfo& decidedOn, bool force) = 0;
};

} // namespace dictora
