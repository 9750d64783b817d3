// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/export/package_collection.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace dictora {

// "导出…" asks first what to make: a flashcard package (.apkg, first and
// chosen at the start) with the card types it holds (听写 by default), or a
// TSV with its clips in a folder.
class FlashcardExportDialog : public QDialog {
    Q_OBJECT
public:
    explicit FlashcardExportDialog(QWidget* parent);

    bool package() const;
    PackageCards cards() const;

private:
    void updateChoices();

    QComboBox* format_;
    QCheckBox* dictation_;
    QCheckBox* recall_;
    QPushButton* ok_ = nullptr;
};

} // namespace dictora
