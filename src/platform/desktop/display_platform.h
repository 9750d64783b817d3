// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace dictora {

// The Qt platform Dictora asks for, from the environment it starts in.
// Where an X11 display is there (DISPLAY: an X11 session, or XWayland in a
// Wayland session) it draws through X11 ("xcb"): the foreground guard of the
// dictation screensaver reads and moves other programs' windows, which only
// X11 allows. With only a Wayland display it runs as a Wayland client
// ("wayland"), and the guard is off. A platform the learner chose
// (QT_QPA_PLATFORM) is left alone; without any display the choice is Qt's
// (empty).
QByteArray chooseDisplayPlatform(const QByteArray& qtPlatform, const QByteArray& display,
                                 const QByteArray& waylandDisplay);

// The same for this process's environment; sets QT_QPA_PLATFORM when it
// chooses. Call before the application object is made.
void chooseDisplayPlatformForThisProcess();

} // namespace dictora
