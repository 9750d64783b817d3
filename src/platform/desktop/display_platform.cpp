// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/display_platform.h"

#include <QtGlobal>

namespace dictora {

QByteArray chooseDisplayPlatform(const QByteArray& qtPlatform, const QByteArray& display,
                                 const QByteArray& waylandDisplay)
{
    if (!qtPlatform.isEmpty())
        return qtPlatform;
    if (!display.isEmpty())
        return "xcb";
    if (!waylandDisplay.isEmpty())
        return "wayland";
    return {};
}

void chooseDisplayPlatformForThisProcess()
{
    const QByteArray chosen = chooseDisplayPlatform(
        qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"));
    if (!chosen.isEmpty())
        qputenv("QT_QPA_PLATFORM", chosen);
}

} // namespace dictora
