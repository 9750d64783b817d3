// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/listening_keys.h"

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

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Control:
    case Qt::Key_Shift:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case 0:
    case Qt::Key_unknown:
        return true;
    default:
        return false;
    }
}

bool keyEndsLoop(int key, ListeningKey listening)
{
    return listening == ListeningKey::None && !isModifierKey(key);
}

ListeningStep listeningKeyStep(const KeyPress& press, const ListeningContext& context)
{
    ListeningStep step;
    const ListeningKey listening =
        listeningKeyFor(press.key, press.ctrl, press.shift, press.otherModifiers);
    if (listening == ListeningKey::None) {
        step.stopLoop = context.looping && keyEndsLoop(press.key, listening);
        return step;
    }
    step.swallow = true;
    // A held key replays once, not on every repeat of the key.
    if (!press.autoRepeat)
        step.play = listeningPlay(listening, context.sentenceRow);
    return step;
}

ListeningKey listeningPlay(ListeningKey requested, bool sentenceRow)
{
    return sentenceRow ? requested : ListeningKey::None;
}

} // namespace dictora
