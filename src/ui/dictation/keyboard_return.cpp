// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dictation/keyboard_return.h"

#include "ui/dictation/dictation_form.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QWidget>

namespace dictora {

KeyboardReturn::KeyboardReturn(DictationForm& form) : QObject(&form), form_(form)
{
    qApp->installEventFilter(this);
}

bool KeyboardReturn::eventFilter(QObject* watched, QEvent* event)
{
    // Only a window that had the keyboard hands it back, so a tip going
    // away never pulls the keyboard from another program the learner turned
    // to. The desktop takes the keyboard from a closing window before or
    // after it is hidden, so both orders count.
    const QEvent::Type type = event->type();
    if ((type != QEvent::Hide && type != QEvent::WindowDeactivate) || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    const auto* widget = static_cast<const QWidget*>(watched);
    if (!widget->isWindow() || widget == &form_)
        return QObject::eventFilter(watched, event);
    bool closedWithKeyboard = false;
    if (type == QEvent::WindowDeactivate) {
        closedWithKeyboard = !widget->isVisible();
        lastDeactivated_ = widget;
    } else {
        closedWithKeyboard = widget == QApplication::activeWindow() || widget == lastDeactivated_;
    }
    if (closedWithKeyboard) {
        lastDeactivated_ = nullptr;
        form_.returnKeyboard();
    }
    return QObject::eventFilter(watched, event);
}

bool keyboardHeldByDialog()
{
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        return true;
    }
    const QWidget* active = QApplication::activeWindow();
    return active && active->isVisible() && qobject_cast<const QDialog*>(active);
}

} // namespace dictora
