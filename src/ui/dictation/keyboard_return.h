// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

namespace dictora {

class DictationForm;

// Gives the keyboard back to the answer box when a window that held it
// closes during Dictation: a dialog, a message box, the help. However it
// was closed (确定, Esc, a click), the learner's next letters belong in the
// answer box, not in the window the desktop happens to activate next.
class KeyboardReturn : public QObject {
public:
    explicit KeyboardReturn(DictationForm& form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DictationForm& form_;
    // The window that last lost the keyboard; compared only, never used.
    const QWidget* lastDeactivated_ = nullptr;
};

// A dialog of the program holds the keyboard for the learner (a modal one,
// a message box, a settings or record window) or a pop-up menu is open: the
// answer box waits until it closes.
bool keyboardHeldByDialog();

} // namespace dictora
