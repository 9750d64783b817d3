// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shell/listening_actions.h"

#include "core/media/listening_keys.h"
#include "core/media/media_player.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "ui/media/playback_settings_dialog.h"
#include "ui/shell/study_menu.h"
#include "ui/widgets/study_services.h"

#include <QKeyEvent>

namespace dictora {

namespace {

enum ListeningItem { ReplayItem, SlowReplayItem, LoopItem, SettingsItem };

// Only a sentence row has anything to replay.
bool sentenceIsCurrent(const StudyServices& services)
{
    const int row = services.state.currentRow;
    return services.sentences.isValidRow(row) && services.sentences.field(row, Kind) == u"1";
}

void carryOut(ListeningKey key, StudyServices& services)
{
    MediaPlayer* player = services.player;
    if (!player || !sentenceIsCurrent(services))
        return;
    switch (key) {
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
        carryOut(ListeningKey::Replay, services);
        return true;
    case SlowReplayItem:
        carryOut(ListeningKey::SlowReplay, services);
        return true;
    case LoopItem:
        carryOut(ListeningKey::Loop, services);
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
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers();
    const ListeningKey listening =
        listeningKeyFor(key->key(), mods & Qt::ControlModifier, mods & Qt::ShiftModifier,
                        mods & (Qt::AltModifier | Qt::MetaModifier));
    if (listening == ListeningKey::None) {
        if (services_.player && services_.player->looping() && keyEndsLoop(key->key(), listening))
            services_.player->stopRepeats();
        return false;
    }
    if (!key->isAutoRepeat())
        carryOut(listening, services_);
    return true;
}

} // namespace dictora
