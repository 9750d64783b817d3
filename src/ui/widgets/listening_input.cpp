// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/listening_input.h"

#include "core/media/media_player.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "ui/widgets/study_services.h"

#include <QKeyEvent>
#include <QWidget>

namespace dictora {

namespace {

constexpr char kOwnListeningKeys[] = "dictoraOwnListeningKeys";

bool sentenceIsCurrent(const StudyServices& services)
{
    const int row = services.state.currentRow;
    return services.sentences.isValidRow(row) && services.sentences.isSentence(row);
}

} // namespace

KeyPress keyPressOf(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    return KeyPress(event->key(), mods & Qt::ControlModifier, mods & Qt::ShiftModifier,
                    mods & (Qt::AltModifier | Qt::MetaModifier), event->isAutoRepeat());
}

ListeningContext listeningContext(const StudyServices& services)
{
    return {services.player && services.player->looping(), sentenceIsCurrent(services)};
}

void carryOut(const ListeningStep& step, StudyServices& services)
{
    if (step.stopLoop && services.player)
        services.player->stopRepeats();
    playListening(step.play, services);
}

void playListening(ListeningKey key, StudyServices& services)
{
    MediaPlayer* player = services.player;
    if (!player)
        return;
    switch (listeningPlay(key, sentenceIsCurrent(services))) {
    case ListeningKey::Replay:
        player->replayFree(false);
        break;
    case ListeningKey::SlowReplay:
        player->replayFree(true);
        break;
    case ListeningKey::Loop:
        player->loopSentence();
        break;
    case ListeningKey::None:
        break;
    }
}

void translatesListeningKeys(QWidget* window)
{
    window->setProperty(kOwnListeningKeys, true);
}

bool translatesListeningKeysItself(const QWidget* widget)
{
    // Up to the widget's own window: a window owned by a marked one (the
    // dictation form's toolbar) has no key map of its own.
    for (const QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (w->property(kOwnListeningKeys).toBool())
            return true;
    }
    return false;
}

} // namespace dictora
