// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>

class QWidget;

namespace dictora {

// The program's own top-level window at a screen point, or nullptr when the
// point lies over the desktop or another program's window.
QWidget* ownWindowAt(const QPoint& screenPoint);

// The program's own window that has the keyboard focus, or nullptr when
// another program is in the foreground.
QWidget* ownForegroundWindow();

} // namespace dictora
