// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace dictora::test {

// How long a test waits for a server it starts (an X server, a compositor,
// a session bus, an input method, the accessibility bus) to say it is
// ready. Generous on purpose: the first start on a new machine builds the
// servers' caches (fonts, keymaps, dictionaries) and takes many times as
// long as later starts. A ready server ends the wait at once.
inline constexpr int kServerReadyLimitMs = 90000;

} // namespace dictora::test
