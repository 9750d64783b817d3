// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/compositing.h"

#include <QByteArray>
#include <QGuiApplication>

#include <X11/Xlib.h>

namespace dictora {

bool compositingActive()
{
    const auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return true;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.constData(), False);
    return selection != None && XGetSelectionOwner(display, selection) != None;
}

} // namespace dictora
