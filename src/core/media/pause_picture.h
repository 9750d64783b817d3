// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

#include <algorithm>

namespace dictora {

// Where the pause picture is drawn over the video while playback is paused:
// a square in the bottom-left corner that grows slowly with the window and
// keeps a 10-pixel margin.
inline QRect pausePictureRect(const QSize& window)
{
    int side = std::min(window.width(), window.height());
    side = side <= 80 ? side - 20 : side / 10 + 52;
    return QRect(10, window.height() - side - 10, side, side);
}

} // namespace dictora
