// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

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
