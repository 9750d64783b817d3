// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace dictora {

class StudyPanel;

// "清除记录": resets the study record of the whole open Unit after a backup
// of its file. "确定" can be pressed only while "没关系，确定从头开始！" is
// checked.
class ClearRecordDialog : public QDialog {
    Q_OBJECT
public:
    ClearRecordDialog(StudyPanel& panel, QWidget* owner);

    // Opens the dialog modally for the open Unit. Returns QDialog::Accepted
    // when the record was cleared. The caller repaints the sentence list.
    int openForUnit();

    QCheckBox* confirmBox() const { return confirmBox_; }
    QPushButton* okButton() const { return okButton_; }

private:
    void confirm();

    StudyPanel& panel_;
    QCheckBox* confirmBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace dictora
