// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shell/listening_actions.h"

#include "core/study/listening_keys.h"
#include "core/media/media_player.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "ui/media/playback_settings_dialog.h"
#include "ui/shell/study_menu.h"
#include "ui/shell/study_services.h"

#include <QKeyEvent>
#include <QWidget>

namespace dictora {

namespace {

enum ListeningItem { ReplayItem, SlowReplayItem, LoopItem, SettingsItem };

constexpr char kOwnListeningKeys[] = "dictoraOwnListeningKeys";

bool sentenceIsCurrent(const StudyServices& services)
{
    const int row = services.state.currentRow;
    return services.sentences.isValidRow(row) && services.sentences.isSentence(row);
}

void play(ListeningKey key, StudyServices& services)
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

} // namespace

void addListeningItems(StudyMenu& menu, int firstId)
{
    menu.addSeparator();
    menu.addItem(firstId + ReplayItem, QString::fromUtf16(kReplayItemText));
    menu.addItem(firstId + SlowReplayItem, QString::fromUtf16(kSlowReplayItemText));
    menu.addItem(firstId + LoopItem, QString::fromUtf16(kLoopItemText));
    menu.addItem(firstId + SettingsItem, QString::fromUtf16(kPlaybackSettingsItemText));
}

bool runListeningItem(int id, int firstId, StudyServices& services, QWidget* owner)
{
    switch (id - firstId) {
    case ReplayItem:
        play(ListeningKey::Replay, services);
        return true;
    case SlowReplayItem:
        play(ListeningKey::SlowReplay, services);
        return true;
    case LoopItem:
        play(ListeningKey::Loop, services);
        return true;
    case SettingsItem:
        openPlaybackSettings(services, owner);
        return true;
    default:
        return false;
    }
}

void openPlaybackSettings(StudyServices& services, QWidget* owner)
{
    PlaybackSettingsDialog dialog(services.folder, services.player, owner);
    dialog.exec();
}

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
    play(step.play, services);
}

void translatesListeningKeys(QWidget* window)
{
    window->setProperty(kOwnListeningKeys, true);
}

ListeningKeysFilter::ListeningKeysFilter(StudyServices& services, QObject* parent)
    : QObject(parent), services_(services)
{
}

bool ListeningKeysFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    // A key event reaches the filter once for each window it passes
    // through; only the one bound for a widget is acted on.
    if (!watched->isWidgetType())
        return false;
    for (auto* w = static_cast<QWidget*>(watched); w; w = w->parentWidget()) {
        if (w->property(kOwnListeningKeys).toBool())
            return false;
    }
    const ListeningStep step =
        listeningKeyStep(keyPressOf(static_cast<QKeyEvent*>(event)), listeningContext(services_));
    carryOut(step, services_);
    return step.swallow;
}

} // namespace dictora
