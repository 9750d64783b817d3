// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/desktop_windows.h"

#include <QApplication>
#include <QWidget>

namespace dictora {

namespace {

// Whether a window is owned by another, directly or through other windows
// (a dialog of the progress panel, which the frame owns).
bool ownedBy(const QWidget* window, const QWidget* owner)
{
    for (const QWidget* w = window->parentWidget(); w; w = w->parentWidget()) {
        if (w == owner)
            return true;
    }
    return false;
}

} // namespace

QWidget* ownWindowAt(const QPoint& screenPoint)
{
    // Windows that let the mouse through (tip, shadow frame) are never "under"
    // the cursor, just as their hit test reports transparent.
    const QWidgetList windows = QApplication::topLevelWidgets();
    QWidget* found = nullptr;
    for (QWidget* w : windows) {
        if (!w->isVisible() || w->isMinimized() ||
            w->testAttribute(Qt::WA_TransparentForMouseEvents) ||
            w->windowFlags().testFlag(Qt::WindowTransparentForInput))
            continue;
        if (!w->frameGeometry().contains(screenPoint))
            continue;
        // Owned windows stay over their owners, at any depth; otherwise later
        // top-levels of a kind stack over earlier ones, and owned windows over
        // unowned ones.
        if (found && ownedBy(found, w))
            continue;
        if (!found || ownedBy(w, found) || w->parentWidget() || !found->parentWidget())
            found = w;
    }
    return found;
}

QWidget* ownForegroundWindow()
{
    return QApplication::activeWindow();
}

} // namespace dictora
