// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace dictora {

// Whether per-pixel alpha reaches the screen: on X11 only while a compositing
// manager owns the selection _NET_WM_CM_S<screen>; without one, see-through
// pixels of a window show black. Other platforms (Wayland, the offscreen
// platform of the tests) always composite. Asked of the running application's
// own display connection.
bool compositingActive();

} // namespace dictora
