// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace dictora {

class StudyPanel;
struct SectionView;
struct UnitMediaFolder;

// The dialog in which the learner sets up one Section of the open Unit: its
// title, the text file whose lines become its sentences, its media file and
// the media's length, and whether the media is copied into the program's
// Media folder. Everything it does lands in rows of the sentence table when
// "确定" is pressed; "取消" changes nothing. It is made once and reset on
// every opening.
class AddContentDialog : public QDialog {
    Q_OBJECT
public:
    AddContentDialog(StudyPanel& panel, QWidget* owner);
    ~AddContentDialog() override;

    // Opens the dialog modally for the current row, a Section title row (the
    // double click on a title in Edit mode). Without a current row it closes
    // at once. Returns QDialog::Accepted when the learner confirmed.
    int openForCurrentRow();

    // Opens the dialog modally with a file dropped on the sentence list as the
    // chosen file (its companion text or media file beside it is taken too).
    // The current row decides the Section as for a double click, except that
    // a sentence row means a new Section at the end.
    int openWithFile(const QString& presetPath);

    // Takes a file as the text or the media file and refreshes the fields.
    void ApplyChosenFile(const QString& path, bool companionSearch);

    QLineEdit* titleField() const { return titleField_; }
    QPlainTextEdit* mediaField() const { return mediaField_; }
    QLineEdit* hoursField() const { return hoursField_; }
    QLineEdit* minutesField() const { return minutesField_; }
    QLineEdit* secondsField() const { return secondsField_; }
    QCheckBox* copyBox() const { return copyBox_; }
    QCheckBox* tidyBox() const { return tidyBox_; }
    QCheckBox* alignBox() const { return alignBox_; }
    QPushButton* textButton() const { return textButton_; }
    QPushButton* mediaButton() const { return mediaButton_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QLabel* chosenLine() const { return chosenLine_; }
    QLabel* tidyNote() const { return tidyNote_; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Choice;

    int openModal(const QString& presetPath);
    void chooseTextFile();
    void chooseMediaFile();
    void copyBoxClicked();
    void confirm();
    void showView(const SectionView& view);
    void setLengthAndCopyEnabled(bool enabled);
    void offerAlignment();
    // The chosen files' names and the tidy-reading suggestion.
    void refreshNotes();
    QString unitName() const;
    UnitMediaFolder mediaFolder() const;

    StudyPanel& panel_;
    std::unique_ptr<Choice> choice_;
    QLineEdit* titleField_ = nullptr;
    QPushButton* textButton_ = nullptr;
    QPlainTextEdit* mediaField_ = nullptr;
    QPushButton* mediaButton_ = nullptr;
    QLineEdit* hoursField_ = nullptr;
    QLineEdit* minutesField_ = nullptr;
    QLineEdit* secondsField_ = nullptr;
    QCheckBox* copyBox_ = nullptr;
    QCheckBox* tidyBox_ = nullptr;
    QCheckBox* alignBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QLabel* chosenLine_ = nullptr;
    QLabel* tidyNote_ = nullptr;
    bool textTagged_ = false; // the chosen text has tags or markup
    bool textTimed_ = true;   // the chosen text gives its sentences times
    QString shownTitle_;      // the title the fields last showed
};

} // namespace dictora
