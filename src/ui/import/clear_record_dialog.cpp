// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import/clear_record_dialog.h"

#include "core/shell/window_placement.h"
#include "ui/widgets/screen_places.h"

#include "core/import/record_clearing.h"
#include "core/study/study_state.h"
#include "core/study/window_messages.h"
#include "ui/import/dialog_units.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace dictora {

namespace {

const QColor kWarningBackground{230, 8, 8};
const QColor kWarningText{255, 255, 0};

} // namespace

ClearRecordDialog::ClearRecordDialog(StudyPanel& panel, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      panel_(panel)
{
    setObjectName(QStringLiteral("clearRecordDialog"));
    setWindowTitle(QStringLiteral("清除记录"));
    setModal(true);
    setFont(dialogFont());
    const DialogUnits du(font());
    setFixedSize(du.size(148, 62));

    QPalette colours = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Window, kWarningBackground);
        colours.setColor(group, QPalette::WindowText, kWarningText);
    }
    colours.setColor(QPalette::Disabled, QPalette::Window, kWarningBackground);
    setPalette(colours);
    setAutoFillBackground(true);

    auto* warning = new QLabel(
        QStringLiteral("清除记录后，所以学习将重新开始，确定清除本单元的记录吗？"), this);
    warning->setWordWrap(true);
    warning->setGeometry(du.rect(7, 5, 134, 22));

    // The box sits centred under the question, as its centred text did.
    confirmBox_ = new QCheckBox(QStringLiteral("没关系，确定从头开始！"), this);
    confirmBox_->setObjectName(QStringLiteral("confirmBox"));
    const QRect boxRow = du.rect(7, 29, 134, 10);
    const int boxWidth = std::min(boxRow.width(), confirmBox_->sizeHint().width());
    confirmBox_->setGeometry(boxRow.left() + (boxRow.width() - boxWidth) / 2, boxRow.top(),
                             boxWidth, boxRow.height());

    cancelButton_ = new QPushButton(QStringLiteral("取消"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setGeometry(du.rect(19, 43, 50, 14));
    okButton_ = new QPushButton(QStringLiteral("确定"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setGeometry(du.rect(79, 43, 50, 14));
    // Enter must never clear a record: neither button is pressed by it.
    for (QPushButton* button : {cancelButton_, okButton_}) {
        button->setAutoDefault(false);
        button->setPalette(QPalette());
    }

    connect(confirmBox_, &QCheckBox::clicked, okButton_, &QPushButton::setEnabled);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(okButton_, &QPushButton::clicked, this, &ClearRecordDialog::confirm);
}

int ClearRecordDialog::openForUnit()
{
    confirmBox_->setChecked(false);
    okButton_->setEnabled(false);
    if (QWidget* over = panel_.window())
        move(centredOn(frameGeometry().size(), over->geometry(), workAreaOf(over)).topLeft());
    return exec();
}

void ClearRecordDialog::confirm()
{
    if (!confirmBox_->isChecked()) {
        reject();
        return;
    }
    StudyServices& services = panel_.services();
    const RecordClearing result =
        clearUnitRecord(services.folder, services.state, services.sentences);
    if (!result.cleared) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("备份失败, 记录未清除:\n") +
                                 windowMessage(result.error));
        reject();
        return;
    }
    accept();
}

} // namespace dictora
