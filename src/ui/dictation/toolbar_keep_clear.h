// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>

namespace dictora {

class StudyPanel;

// What the dictation toolbar must leave visible, in screen coordinates: the
// screensaver's switch text ("退出听写屏保" / "开启听写屏保") while the
// screensaver window shows, and the sentence list's first visible row.
QList<QRect> toolbarKeepClear(StudyPanel& panel);

} // namespace dictora
