// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shell/study_menu.h"

#include "ui/widgets/ui_font.h"

namespace dictora {

StudyMenu::StudyMenu(QWidget* owner) : QMenu(owner)
{
    setObjectName(QStringLiteral("studyMenu"));
    setFont(uiFont());
    // A disabled item keeps the normal text colour (disabled, not greyed).
    QPalette look = palette();
    for (const QPalette::ColorRole role :
         {QPalette::Text, QPalette::WindowText, QPalette::ButtonText, QPalette::Light}) {
        look.setColor(QPalette::Disabled, role, look.color(QPalette::Active, role));
    }
    setPalette(look);
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
