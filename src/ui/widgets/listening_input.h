// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/listening_keys.h"

class QKeyEvent;
class QWidget;

namespace dictora {

struct StudyServices;

// The windows' side of the listening keys and items: the core key maps
// decide (listeningKeyStep), these read a key event for them and carry the
// decision out on the player.

// A key event as the core key maps read it.
KeyPress keyPressOf(const QKeyEvent* event);
// What the listening rules need to know: the loop and the current row.
ListeningContext listeningContext(const StudyServices& services);
// Carries out a key map's listening step: ends a loop, then plays.
void carryOut(const ListeningStep& step, StudyServices& services);
// Replay, slow replay or loop of the current sentence (a key or a menu
// item); nothing without a current sentence row.
void playListening(ListeningKey key, StudyServices& services);

// The windows whose own key map yields the listening keys (the dictation
// form, the sentence list, the media window) mark themselves; the program's
// filter for every other window leaves their keys to them.
void translatesListeningKeys(QWidget* window);
bool translatesListeningKeysItself(const QWidget* widget);

} // namespace dictora
