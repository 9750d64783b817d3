// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shell/study_menu.h"

#include "ui/widgets/ui_font.h"

namespace dictora {

StudyMenu::StudyMenu(QWidget* owner) : QMenu(owner)
{
    setObjectName(QStringLiteral("studyMenu"));
    setFont(uiFont());
    // A disabled item is drawn greyed: it looks as it acts, taking neither
    // hover nor clicks.
}

QAction* StudyMenu::addItem(int id, const QString& text, bool checked, bool enabled)
{
    QAction* action = addAction(text);
    action->setData(id);
    if (checked) {
        action->setCheckable(true);
        action->setChecked(true);
    }
    action->setEnabled(enabled);
    return action;
}

int StudyMenu::track(const QPoint& topLeft)
{
    const QAction* chosen = exec(topLeft);
    return chosen ? chosen->data().toInt() : 0;
}

} // namespace dictora
