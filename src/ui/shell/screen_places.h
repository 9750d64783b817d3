// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>

class QWidget;

namespace dictora {

class MainPanelDialog;

// The work area of the screen a window is on (the primary screen's when it
// has none yet); empty when there is no screen at all.
QRect workAreaOf(const QWidget* window);

// What the dictation toolbar must leave visible, in screen coordinates: the
// screensaver's switch text ("退出听写屏保" / "开启听写屏保") while the
// screensaver window shows, and the sentence list's first visible row.
QList<QRect> toolbarKeepClear(MainPanelDialog& panel);

} // namespace dictora
