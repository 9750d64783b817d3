// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QRect>
#include <QTableView>
#include <QTimer>

namespace dictora {

class ReviewMarks;
class StudyPanel;
class SentenceRowDelegate;
class SentenceTable;
class StudySession;
struct ListKeyContext;
struct ModeDecision;
struct PlaybackNow;
enum class SpaceAction;
struct StudyState;
struct TimeShift;

// The large list of the main panel that shows the open Unit row by row. The
// rows are the sentence table itself (the model); a delegate draws them. The
// list turns selection, clicks and keys into the study's actions: selecting
// a sentence loads it into the dictation form and plays its span, and in
// Edit mode the A/F/E/D keys move its time points. Its two context menus
// (main menu and edit menu) and the drop of files are here as well.
class SentenceList : public QTableView {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 35;

    SentenceList(StudyPanel& panel, QWidget* parent);
    ~SentenceList() override;

    // Repaints a part of a row (RowPart); row -1 means the current row's
    // remembered rectangle. Nothing happens while no row is current.
    void InvalidateRowPart(int row, int part);
    // Line-by-line play: steps to the next sentence row, or ends the mode at
    // the end of the Unit.
    void NextLine();
    // The current row with its waveform strip, or the rows in view when no
    // row is current, in screen coordinates; empty when nothing is shown.
    QRect workOnScreen() const;
    // Scrolls the current row and its strip out from under a window (screen
    // coordinates) where the list has room to.
    void keepWorkClearOf(const QRect& cover);
    // Keeps room under the last row where the status bar lies over the list,
    // so every row can be scrolled up clear of it.
    void fitAboveStatusBar();
    // Selects a row as the learner's click would (the selection change then
    // loads and plays it). A row outside the list clears the selection.
    void selectRow(int row);

    // The context menus at a screen point (the right-button release).
    void ShowMainMenu(const QPoint& globalPos);
    void ShowEditMenu(const QPoint& globalPos);
    // The main panel's context menu: the edit menu in Edit mode, else the
    // main menu.
    void showContextMenu(const QPoint& globalPos);

    // The commands of the menus, also reached by the keys and by tests.
    // Returns whether anything changed.
    bool ShiftTime(int deltaMs, bool wholeSpan);
    // Sets the start (point 1) or end (point 2) of the current sentence to
    // a time its waveform mark was dragged to, within the limits of
    // ShiftTime; chooses that point. Returns whether anything changed.
    bool dragTimePoint(int point, int targetMs);
    void InsertRow(int index);
    // The mode commands of the main menu; the sound command is the dictation
    // toolbar's sound button too.
    void toggleMute();
    void toggleLineByLine();
    void toggleDictation();
    void toggleEdit();
    // "删除标题及内容": asks first; true when the Section went.
    bool deleteSection();
    // "删除本行".
    void deleteCurrentRow();
    // The clear-record command of the main menu.
    void clearRecord();

    // Pauses, resumes or replays as Space decided (here and in the
    // dictation form).
    void carryOut(SpaceAction action);
    // What the media and the recorder are doing, for the session's rules.
    PlaybackNow playbackNow();

    // Handles dropped files as the list does (refusal tips, then one
    // add-content dialog per base name). Returns the number of files opened.
    int dropFiles(const QStringList& paths);

    // Closing a Unit: the open dialogs are asked to close and forgotten, the
    // time point is forgotten.
    void closeUnitWindows();

    // The modal dialog opened from the list and still open (add-content or
    // clear-record dialog), and the content-change dialog shown by it.
    QPointer<QWidget> openDialog;
    QPointer<QWidget> changeDialog;
    // In Edit mode, the time point worked on: 1 start, 2 end, -1 neither
    // (last click outside both columns), -1000 never chosen.
    int selectedPoint = -1000;
    // The content-change dialog's answer: 0 cancel, 1 replace, 2 append.
    int contentChangeChoice = 0;
    // Set by NextLine when Line-by-line play moves the selection by itself;
    // consumed by PlayRow.
    bool advancing = false;
    // Set when a selection change was handled, so the click that caused it
    // is not handled a second time.
    bool selectionJustChanged = false;
    QRect currentRowRect;
    // 1 from key-down to key-up of Page Up, Page Down, Up or Down.
    bool keyNavigating = false;

    SentenceRowDelegate* rowDelegate() const { return delegate_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void rowSelected(int row);
    // The open Unit's rows waiting for a look, or none without a library.
    ReviewMarks* reviewMarks() const;
    // The current row is on show: in Edit mode its review mark clears.
    void lookedAtCurrentRow();
    // Does what a mode command decided.
    void carryOut(const ModeDecision& decision);
    ListKeyContext keyContext() const;
    // Removes count rows at row (0: the Section at row) with no row current
    // afterwards.
    void removeRowsQuietly(int row, int count);
    void pageTo(int row);
    bool pickTimePointFromCursor(int row);
    // Repaints and replays after a change of times; false when nothing changed.
    bool applyTimeShift(const TimeShift& shift);
    void togglePlayback();
    void refuse(const QString& tip);
    void showTipAtCursor(const QString& text, int dx = 0, int dy = 0);
    void repaintAll();
    void openAddContentForTitle();
    void openAddContentWithFile(const QString& path);

    // Calls out to the dictation form and the media window.
    void loadRow();
    void playRow();
    QString mediaMode();
    bool mediaPaused();
    bool mediaBusy();
    void holdDictationForm();
    bool mediaWindowInFront() const;
    bool mediaPinned() const;
    void togglePinned();
    void clearSpanFlags();
    void closeMediaWindow();
    void resetTypingProgress();

    StudyPanel& panel_;
    StudySession& session_;
    const StudyState& state_;
    SentenceTable& table_;
    SentenceRowDelegate* delegate_ = nullptr;
    int pressedRow_ = -1;
    QTimer pictureTimer_;
    bool removing_ = false;
};

} // namespace dictora
