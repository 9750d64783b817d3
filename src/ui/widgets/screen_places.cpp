// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/screen_places.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace dictora {

QRect workAreaOf(const QWidget* window)
{
    const QScreen* screen =
        window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace dictora
