// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/private_desktop.h"

#include <QString>

namespace dictora::test {

// A private desktop with fcitx5 running and pinyin switched on: keys typed
// into a Qt window of this program go through the input method. Made before
// the QApplication, which then uses Qt's xcb platform and fcitx5 input
// context. When something is missing, the desktop says what (unavailable()),
// and the program draws offscreen so the tests can skip.
class InputMethodDesktop {
public:
    static inline InputMethodDesktop* current = nullptr;

    void start();
    // Why typing through fcitx5 cannot be tried here; empty when it can.
    const QString& unavailable() const { return unavailable_; }
    // Waits until fcitx5 has an input context of this program with the
    // keyboard focus: only then do keys go through it.
    bool waitForFocusedInputContext(int timeoutMs);
    // Types keys (xdotool key names) as the X server's keyboard would.
    bool typeKeys(const QStringList& keys);

    PrivateDesktop& desktop() { return desktop_; }

private:
    PrivateDesktop desktop_;
    QString unavailable_;
};

} // namespace dictora::test
