// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace dictora {

// Where windows and dialogs go on the screen, in screen coordinates. Each
// window asks for a place by its own rule; these keep it inside the work
// area (the screen without panels) whatever the screen's size.

// The place asked for, moved so that it lies inside the area; a window wider
// or taller than the area is cut to it and put at its left or top edge. An
// empty area (no screen known) leaves the place as it is.
QRect placeInside(QRect wanted, const QRect& area);

// A dialog of this size centred on its owner's frame, then kept inside.
QRect centredOn(const QSize& size, const QRect& owner, const QRect& area);

// A window with a title bar and border (frame, the window manager's margins
// around the client area) centred on its owner and kept inside the area
// frame and all, the client cut where the whole would not fit: its title
// stays on the screen to drag it by and its bottom buttons stay in reach.
// Gives the client rectangle. Every dialog and window of the program opens
// through this.
QRect framedWindowPlace(const QSize& client, const QMargins& frame, const QRect& owner,
                        const QRect& area);

// The dictation toolbar: the place asked for (beside the dictation strip),
// kept inside the area and off every rectangle in keepClear (the
// screensaver's switch text, the sentence list's first row). Where it would
// cover one, it goes just below the lowest one it covers, else just above,
// else to its right; the first of these that is inside the area and covers
// nothing wins. When none does, the place kept inside the area is the answer.
QRect toolbarPlace(const QRect& wanted, const QRect& area, const QList<QRect>& keepClear);

// The gap left between the toolbar and what it keeps clear of.
inline constexpr int kKeepClearGap = 4;

} // namespace dictora
