// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/private_desktop.h"

#include <QString>
#include <QStringList>

namespace dictora::test {

// A private desktop with the AT-SPI accessibility bus, and a screen reader's
// view of this program through it (pyatspi). Made before the QApplication,
// which then uses Qt's xcb platform with its AT-SPI bridge on. When
// something is missing, unavailable() says what and the program draws
// offscreen so the tests can skip.
class AccessibilityDesktop {
public:
    static inline AccessibilityDesktop* current = nullptr;

    void start();
    const QString& unavailable() const { return unavailable_; }

    // This program's accessible objects, one line each:
    // "role|name|description|states|actions", indented by depth. Empty when
    // the tree could not be read.
    QStringList tree();
    // Does the action of the first object with this accessible name.
    bool press(const QString& name);

private:
    QByteArray runScript(const QStringList& arguments, bool* ok);

    PrivateDesktop desktop_;
    QString unavailable_;
};

} // namespace dictora::test
