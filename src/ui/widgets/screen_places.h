// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class QWidget;

namespace dictora {

// The work area of the screen a window is on (the primary screen's when it
// has none yet); empty when there is no screen at all.
QRect workAreaOf(const QWidget* window);

// Places a window with a title bar centred on its owner (the frame when none
// is given) and inside the work area, title and bottom buttons included, each
// time it is shown: its wanted size is the one it asks for, cut to the screen.
void keepFramedOnScreen(QWidget* window, const QWidget* owner = nullptr);

} // namespace dictora
