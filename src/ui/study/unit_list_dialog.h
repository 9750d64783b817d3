// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QListWidget;
class QMessageBox;
class QPushButton;

namespace dictora {

class StudyPanel;
class StatusItem;
class UnitLibrary;
struct StudyState;

// The unit library pop-up: the list of Units ("生句本" first, each with its
// percent) shown at the lower left of the main window with the shadow frame
// behind it. It comes up when the mouse rests at the left screen edge and
// goes again after ten seconds or when it loses the foreground. Picking a
// Unit opens it. Its 100 ms timer also runs the library's autosave.
class UnitListDialog : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 35;
    static constexpr int kPercentColumnWidth = 80;

    UnitListDialog(StudyPanel& panel, QWidget* owner);
    ~UnitListDialog() override;

    // Start-up: scans the Data folder, lists the Units and opens the
    // Sentence Notebook. Reports a damaged Unit or a failed save.
    void initialise();

    // Shows (true) or hides (false) the pop-up; asking for the state in force
    // does nothing.
    void ShowPopup(bool show);
    bool popupShown() const { return shown_; }

    // Opens the Unit at a list position (selects it in the list; the
    // selection does the work), after closing the open one.
    void OpenUnit(int position);
    // The window side of closing a Unit: media window and tip hidden, the
    // typing box read-only, the sentence list's small windows closed.
    void CloseUnit();

    // One tick of the 100 ms timer: the pop-up's showing and hiding, then the
    // library's autosave. Public so tests can step it.
    void tick();

    // The list of Units as shown.
    QListWidget* list() const { return list_; }
    QPushButton* addButton() const { return addButton_; }
    int tickCount() const { return ticks_; }

    // Refills the names and percents from the library, keeping the open
    // Unit selected.
    void refreshList();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void positionSelected(int position);
    void unitOpened();
    void refreshPercents();
    void showSaveFailure(const QString& message);
    void showMessage(const QString& message);
    bool splashFinished() const;
    bool keepsForeground() const;
    const StatusItem* firstStatusItem() const;
    static bool isSwallowedKey(const QEvent* event);

    StudyPanel& panel_;
    const StudyState& state_;
    UnitLibrary* library_;
    QListWidget* list_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QTimer timer_;
    int ticks_ = 0;
    bool shown_ = false;
    bool heldForeground_ = false; // the pop-up had the foreground since it showed
    const QObject* foregroundAtShow_ = nullptr;
    bool filling_ = false;
    bool lastUnitUnsaved_ = false; // the Unit open last could not be kept
    QPointer<QMessageBox> messageBox_;
};

} // namespace dictora
