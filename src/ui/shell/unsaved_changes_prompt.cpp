// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shell/unsaved_changes_prompt.h"

#include "core/study/unit_library.h"
#include "core/study/window_messages.h"

#include <QMessageBox>
#include <QPushButton>

namespace dictora {

void saveOrConfirmClose(UnitLibrary& library, QWidget* parent)
{
    while (!library.saveBeforeClosing()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Dictora"),
                        QStringLiteral("单元 \"%1\" 的修改还没有保存:\n%2\n\n"
                                       "再保存一次, 还是不保存就关闭?")
                            .arg(library.unitName(), windowMessage(library.lastError())),
                        QMessageBox::NoButton, parent);
        box.setObjectName(QStringLiteral("unsavedChangesPrompt"));
        QPushButton* again = box.addButton(QStringLiteral("再保存一次"), QMessageBox::AcceptRole);
        QPushButton* close =
            box.addButton(QStringLiteral("不保存, 关闭"), QMessageBox::DestructiveRole);
        again->setObjectName(QStringLiteral("saveAgain"));
        close->setObjectName(QStringLiteral("closeAnyway"));
        // Escape and the close box keep the changes in play.
        box.setDefaultButton(again);
        box.setEscapeButton(again);
        box.exec();
        if (box.clickedButton() == close)
            return;
    }
}

} // namespace dictora
