#include "platform/desktop/desktop_windows.h"

#include <QApplication>
#include <QWidget>

namespace dictora {

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
        // Later top-levels of a kind stack over earlier ones; owned windows
        // (those with a parent) stay over their owners.
        if (!found || w->parentWidget() || !found->parentWidget())
            found = w;
    }
    return found;
}

QWidget* ownForegroundWindow()
{
    return QApplication::activeWindow();
}

} // namespace dictora
