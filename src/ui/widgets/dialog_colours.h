// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

class QApplication;

namespace dictora {

// The background every dialog uses; also the colour that turns see-through
// in the colour-keyed translucent windows.
inline const QColor kDialogBackground{204, 232, 207};
// Static text on dialogs.
inline const QColor kDialogText{0, 0, 238};
// The sentence list's background, a shade lighter than the dialogs.
inline const QColor kSentenceListBackground{209, 237, 212};
// The settings dialogs (unit, content, voice): their ground, the text of
// what the learner enters or chooses, and their other text.
inline const QColor kSettingsBackground{240, 240, 230};
inline const QColor kSettingsInputText{8, 8, 230};
inline const QColor kSettingsText{8, 8, 8};

// Sets the dialog background and text colours and the program font for the
// whole application.
void applyDialogColours(QApplication& app);

} // namespace dictora
