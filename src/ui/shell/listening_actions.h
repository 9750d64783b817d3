// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/listening_keys.h"

#include <QObject>

class QKeyEvent;
class QWidget;

namespace dictora {

class StudyMenu;
struct StudyServices;

// The listening items that follow the usual items of both context menus:
// replay, slow replay, loop and the playback settings. Their ids start at
// firstId; runListeningItem carries out a chosen one and returns false for
// any other id.
void addListeningItems(StudyMenu& menu, int firstId);
bool runListeningItem(int id, int firstId, StudyServices& services, QWidget* owner);

// Opens "播放设置" over owner, modal.
void openPlaybackSettings(StudyServices& services, QWidget* owner);

// A key event as the core key maps read it.
KeyPress keyPressOf(const QKeyEvent* event);
// What the listening rules need to know: the loop and the current row.
ListeningContext listeningContext(const StudyServices& services);
// Carries out what a key map decided about listening: ends a loop, plays.
void carryOut(const ListeningStep& step, StudyServices& services);

// The windows whose own key map yields the listening keys (the dictation
// form, the sentence list, the media window) mark themselves here; the
// filter below leaves their keys to them.
void translatesListeningKeys(QWidget* window);

// The listening keys wherever else the keyboard is in the program (the
// toolbar, the backdrop, the unit list, the status items, a dialog): the
// same core rule as in the windows' key maps, ahead of those windows' own
// key handling, which swallows every key. Installed on the application.
class ListeningKeysFilter : public QObject {
    Q_OBJECT
public:
    ListeningKeysFilter(StudyServices& services, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    StudyServices& services_;
};

} // namespace dictora
