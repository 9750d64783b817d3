// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/history/flashcard_export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace dictora {

FlashcardExportDialog::FlashcardExportDialog(QWidget* parent)
    : QDialog(parent), format_(new QComboBox(this)),
      dictation_(new QCheckBox(QStringLiteral("听写卡: 听声音, 打出句子"), this)),
      recall_(new QCheckBox(QStringLiteral("回忆卡: 听声音, 看句子"), this))
{
    setWindowTitle(QStringLiteral("导出"));
    setObjectName(QStringLiteral("flashcardExportDialog"));
    format_->setObjectName(QStringLiteral("exportFormat"));
    format_->addItem(QStringLiteral("Anki 卡包 (.apkg, 声音在内, 双击导入)"));
    format_->addItem(QStringLiteral("TSV 文本和声音片段 (文件夹)"));
    dictation_->setObjectName(QStringLiteral("dictationCards"));
    recall_->setObjectName(QStringLiteral("recallCards"));
    dictation_->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(QStringLiteral("导出…"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("格式"), format_);
    form->addRow(QStringLiteral("卡片"), dictation_);
    form->addRow(QString(), recall_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(format_, &QComboBox::currentIndexChanged, this, &FlashcardExportDialog::updateChoices);
    connect(dictation_, &QCheckBox::toggled, this, &FlashcardExportDialog::updateChoices);
    connect(recall_, &QCheckBox::toggled, this, &FlashcardExportDialog::updateChoices);
    updateChoices();
}

bool FlashcardExportDialog::package() const
{
    return format_->currentIndex() == 0;
}

PackageCards FlashcardExportDialog::cards() const
{
    return {dictation_->isChecked(), recall_->isChecked()};
}

void FlashcardExportDialog::updateChoices()
{
    // Card types belong to the package; a package needs at least one.
    dictation_->setEnabled(package());
    recall_->setEnabled(package());
    ok_->setEnabled(!package() || dictation_->isChecked() || recall_->isChecked());
}

} // namespace dictora
