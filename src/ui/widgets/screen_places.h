// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class QWidget;

namespace dictora {

// The work area of the screen a window is on (the primary screen's when it
// has none yet); empty when there is no screen at all.
QRect workAreaOf(const QWidget* window);

} // namespace dictora
