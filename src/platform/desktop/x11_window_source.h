// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/window_source.h"

#include <memory>

namespace dictora {

// The foreground guard's view of an X11 desktop, read through the window
// manager's published properties. Without a window manager it reports no
// window in front, so the guard does nothing; it says so once.
class X11WindowSource : public WindowSource {
public:
    explicit X11WindowSource(std::unique_ptr<X11Windows> windows);

    // The source for the desktop the program runs on, or nullptr when it is
    // not an X11 desktop (Wayland, offscreen) or its display cannot be
    // opened; then one line on standard error says the guard is off.
    static std::unique_ptr<X11WindowSource> forThisDesktop();

    quint64 foregroundWindow() override;
    ForeignWindowInfo describe(quint64 window) override;
    QList<quint64> stackingOrder() override;
    void minimise(quint64 window) override;
    void requestClose(quint64 window) override;
    bool endProcess(const ForeignWindowInfo& decidedOn, bool force) override;

private:
    std::unique_ptr<X11Windows> windows_;
    bool toldNoWindowManager_ = false;
};

} // namespace dictora
