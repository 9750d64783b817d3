// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dictation/toolbar_keep_clear.h"

#include "ui/screensaver/screensaver_window.h"
#include "ui/widgets/study_panel.h"

#include <QTableView>

namespace dictora {

namespace {

// The switch text with the shadow around it.
constexpr int kTextMargin = 10;

} // namespace

QList<QRect> toolbarKeepClear(StudyPanel& panel)
{
    QList<QRect> clear;
    if (const ScreensaverWindow* saver = panel.screensaver(); saver && saver->isVisible()) {
        const QRect text = ScreensaverWindow::toggleBox().adjusted(-kTextMargin, -kTextMargin,
                                                                   kTextMargin, kTextMargin);
        clear << text.translated(saver->geometry().topLeft());
    }
    if (const QTableView* list = panel.sentenceView();
        list && list->isVisible() && list->model() && list->model()->rowCount() > 0) {
        const int row = std::max(0, list->rowAt(0));
        const QRect first = list->visualRect(list->model()->index(row, 0));
        const QPoint origin = list->viewport()->mapToGlobal(QPoint(0, first.top()));
        clear << QRect(origin, QSize(list->viewport()->width(), first.height()));
    }
    return clear;
}

} // namespace dictora
