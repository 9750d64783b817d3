// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/listening_keys.h"

#include <Qt>

namespace dictora {

ListeningKey listeningKeyFor(int key, bool ctrl, bool shift, bool otherModifiers)
{
    if (!ctrl || otherModifiers)
        return ListeningKey::None;
    if (key == Qt::Key_R)
        return shift ? ListeningKey::SlowReplay : ListeningKey::Replay;
    if (key == Qt::Key_L && !shift)
        return ListeningKey::Loop;
    return ListeningKey::None;
}

bool keyEndsLoop(int key, ListeningKey listening)
{
    if (listening != ListeningKey::None)
        return false;
    switch (key) {
    case Qt::Key_Control:
    case Qt::Key_Shift:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case 0:
    case Qt::Key_unknown:
        return false;
    default:
        return true;
    }
}

} // namespace dictora
