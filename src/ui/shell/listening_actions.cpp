// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shell/listening_actions.h"

#include "ui/media/playback_settings_dialog.h"
#include "ui/shell/study_menu.h"
#include "ui/widgets/listening_input.h"
#include "ui/widgets/study_services.h"

#include <QKeyEvent>
#include <QWidget>

namespace dictora {

namespace {

enum ListeningItem { ReplayItem, SlowReplayItem, LoopItem, SettingsItem };

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
        playListening(ListeningKey::Replay, services);
        return true;
    case SlowReplayItem:
        playListening(ListeningKey::SlowReplay, services);
        return true;
    case LoopItem:
        playListening(ListeningKey::Loop, services);
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
    if (translatesListeningKeysItself(static_cast<QWidget*>(watched)))
        return false;
    const ListeningStep step =
        listeningKeyStep(keyPressOf(static_cast<QKeyEvent*>(event)), listeningContext(services_));
    carryOut(step, services_);
    return step.swallow;
}

} // namespace dictora
