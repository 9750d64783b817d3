// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <memory>

namespace dictora::test {

// What a context menu offered when it came up.
struct MenuSeen {
    bool shown = false;
    QPoint topLeft;
    QStringList items;    // every item's text, separators as "-"
    QStringList checked;  // texts of the checked items
    QStringList disabled; // texts of the items that cannot be chosen
    // Disabled items are drawn in another colour than enabled ones.
    bool disabledGreyed = false;
};

// Answers the next pop-up menu as a learner would: notes what it offers,
// then clicks the item with the given text, or closes the menu when the text
// is empty or not offered.
inline std::shared_ptr<MenuSeen> answerNextMenu(const QString& choose)
{
    auto seen = std::make_shared<MenuSeen>();
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, seen, choose] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        seen->shown = true;
        seen->topLeft = menu->pos();
        const QPalette& look = menu->palette();
        seen->disabledGreyed = look.color(QPalette::Disabled, QPalette::Text) !=
                               look.color(QPalette::Active, QPalette::Text);
        QAction* pick = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) {
                seen->items << QStringLiteral("-");
                continue;
            }
            seen->items << action->text();
            if (action->isChecked())
                seen->checked << action->text();
            if (!action->isEnabled())
                seen->disabled << action->text();
            if (action->text() == choose)
                pick = action;
        }
        if (pick)
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(pick).center());
        if (menu->isVisible())
            menu->close();
    });
    timer->start();
    return seen;
}

} // namespace dictora::test
