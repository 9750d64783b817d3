// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMenu>

namespace dictora {

// A context menu of the sentence list, tracked so that it hands back the
// chosen command number. Disabled items are greyed and cannot be chosen.
class StudyMenu : public QMenu {
    Q_OBJECT
public:
    explicit StudyMenu(QWidget* owner);

    // Adds an item that returns id when chosen.
    QAction* addItem(int id, const QString& text, bool checked = false, bool enabled = true);
    // Shows the menu with its top left corner at a screen point; returns the
    // chosen id, or 0 when nothing was chosen.
    int track(const QPoint& topLeft);
};

} // namespace dictora
