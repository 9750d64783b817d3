// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <cstdint>

namespace dictora {

// The mode the help overlay describes: the one the study state is in.
enum class HelpMode { Browse, LineByLine, Edit, Dictation };
HelpMode helpModeOf(bool editMode, bool dictationMode, bool lineByLineMode);

// One line of the help overlay: a gesture or key, and what it does.
struct HelpLine {
    QString gesture;
    QString effect;

    bool operator==(const HelpLine&) const = default;
};

// The overlay's title for a mode ("浏览模式", ...).
QString helpTitle(HelpMode mode);
// Every mouse gesture and key of the mode, then those that work in every
// mode (the left screen edge, the menus, the toolbar, F1 itself).
QList<HelpLine> helpLines(HelpMode mode);

// Tooltips of the dictation toolbar's four buttons, left to right (sound,
// record, layout, notebook); empty outside 0..3.
QString toolbarButtonTip(int button);
// Tooltips of the progress panel's four status items, by their order on the
// panel (overall completion, Unit settings, today's progress, mode).
QString statusItemTip(int item);

// The one-line hint over a list with little in it: where the unit list is
// and how content is added; empty once the Unit has a few sentences.
QString emptyListHint(int sentenceRows, bool isNotebook, bool editMode);

// The tip once the day's work is done: "今天的任务完成了" with the figures.
QString quotaDoneTip(int todayDone, int64_t todayChars, const QString& totalPercent);
// True when an answer just finished the day's work: before it some of today's
// rows were left, after it none is.
bool quotaJustReached(int doneBefore, int totalBefore, int doneAfter, int totalAfter);

} // namespace dictora
