// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace dictora {

class StudyPanel;
class UnitLibrary;

// "设置单元参数": creates a Unit (add mode) or changes the open Unit's name,
// review frequency and daily allowance, or deletes it (edit mode). One
// modeless dialog, shown and hidden for the whole run; while it shows, opening
// another Unit refreshes it. Escape and Enter do nothing here, so only its
// buttons close it.
class UnitSettingsDialog : public QDialog {
    Q_OBJECT
public:
    UnitSettingsDialog(StudyPanel& panel, QWidget* owner);

    // 1 = add mode, 0 = edit mode; set by whoever shows the dialog.
    int addMode = 0;

    // Fills the dialog for the mode set and shows it centred on its owner.
    void ShowSettings();
    // Sets the mode and shows the dialog.
    void showAddUnit();
    void showEditUnit();

    // The buttons: 确定, 删除 (asks first), 取消.
    void OnOk();
    void OnDelete();
    void OnCancel();

    QLineEdit* nameEdit() const { return nameEdit_; }
    QComboBox* frequencyList() const { return frequencyList_; }
    QLineEdit* countEdit() const { return countEdit_; }
    QComboBox* countUnitList() const { return countUnitList_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* deleteButton() const { return deleteButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    // The count as last exchanged with its box.
    float count() const { return count_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fillForAdd();
    void fillForEdit();
    void setListEntries(QComboBox* list, const QStringList& entries);
    bool takeCount();
    void createUnit();
    void editUnit();
    void deleteConfirmed();
    void showMessage(const QString& text);
    void showTipAtCursor(const QString& text);
    void unitOpened();

    StudyPanel& panel_;
    UnitLibrary* library_;
    QLineEdit* nameEdit_ = nullptr;
    QComboBox* frequencyList_ = nullptr;
    QLineEdit* countEdit_ = nullptr;
    QComboBox* countUnitList_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    float count_ = 1.0f;
};

} // namespace dictora
