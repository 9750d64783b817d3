// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/x11_window_source.h"

#include <QGuiApplication>

#include <cstdio>

namespace dictora {

namespace {

void sayGuardIsOff(const char* reason)
{
    std::fprintf(stderr, "dictora: the dictation screensaver cannot keep other windows back: %s\n",
                 reason);
}

} // namespace

X11WindowSource::X11WindowSource(std::unique_ptr<X11Windows> windows) : windows_(std::move(windows))
{
}

std::unique_ptr<X11WindowSource> X11WindowSource::forThisDesktop()
{
    const QString platform = QGuiApplication::platformName();
    if (platform != QStringLiteral("xcb")) {
        // Wayland lets no program read or move another program's windows.
        sayGuardIsOff(platform.startsWith(QStringLiteral("wayland"))
                          ? "a Wayland desktop does not allow it"
                          : "there is no X11 desktop");
        return nullptr;
    }
    std::unique_ptr<X11Windows> windows = X11Windows::connect();
    if (!windows) {
        sayGuardIsOff("the X11 display cannot be opened");
        return nullptr;
    }
    return std::make_unique<X11WindowSource>(std::move(windows));
}

quint64 X11WindowSource::foregroundWindow()
{
    if (!windows_->hasWindowManager()) {
        if (!toldNoWindowManager_)
            sayGuardIsOff("no window manager runs");
        toldNoWindowManager_ = true;
        return 0;
    }
    return windows_->activeWindow();
}

ForeignWindowInfo X11WindowSource::describe(quint64 window)
{
    return windows_->describe(window);
}

QList<quint64> X11WindowSource::stackingOrder()
{
    return windows_->stackingOrder();
}

void X11WindowSource::minimise(quint64 window)
{
    windows_->minimise(window);
}

void X11WindowSource::requestClose(quint64 window)
{
    windows_->requestClose(window);
}

bool X11WindowSource::endProcess(const ForeignWindowInfo& decidedOn, bool force)
{
    return force ? windows_->forceEndProcess(decidedOn) : windows_->endProcess(decidedOn);
}

} // namespace dictora
