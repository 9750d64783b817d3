// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import/content_change_dialog.h"

#include "core/shell/window_placement.h"
#include "ui/widgets/screen_places.h"

#include "ui/import/dialog_units.h"
#include "ui/widgets/study_panel.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace dictora {

ContentChangeDialog::ContentChangeDialog(StudyPanel& panel, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      panel_(panel)
{
    setObjectName(QStringLiteral("contentChangeDialog"));
    setWindowTitle(QStringLiteral("内容变更"));
    setModal(true);
    setFont(dialogFont());
    const DialogUnits du(font());
    setFixedSize(du.size(157, 47));

    auto* question = new QLabel(QStringLiteral("标题下有内容，请选择内容变更的方式："), this);
    question->setGeometry(du.rect(7, 7, 143, 12));

    const auto button = [&](const QString& text, int left, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(du.rect(left, 26, 45, 14));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* replace = button(QStringLiteral("替换"), 7, "replaceButton");
    QPushButton* append = button(QStringLiteral("追加"), 56, "appendButton");
    QPushButton* cancel = button(QStringLiteral("取消"), 105, "cancelButton");
    connect(replace, &QPushButton::clicked, this, [this] { answer(ContentChangeChoice::Replace); });
    connect(append, &QPushButton::clicked, this, [this] { answer(ContentChangeChoice::Append); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

ContentChangeChoice ContentChangeDialog::ask()
{
    contentChangeChoice_ = ContentChangeChoice::Cancel;
    // Over whichever window asked: the add-content dialog is modal itself.
    if (QWidget* asking = QApplication::activeModalWidget(); asking && asking != this)
        move(centredOn(frameGeometry().size(), asking->geometry(), workAreaOf(asking)).topLeft());
    // The list keeps hold of the question while it is shown, so closing the
    // Unit can close it, and keeps the answer afterwards.
    QPointer<StudyPanel> panel = &panel_;
    panel_.holdChangeQuestion(this);
    exec();
    if (panel) {
        panel->holdChangeQuestion(nullptr);
        panel->keepChangeChoice(int(contentChangeChoice_));
    }
    return contentChangeChoice_;
}

void ContentChangeDialog::answer(ContentChangeChoice choice)
{
    contentChangeChoice_ = choice;
    accept();
}

} // namespace dictora
