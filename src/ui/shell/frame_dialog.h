// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace dictora {

struct StudyServices;
class StudySession;
class MainPanelDialog;
class UnitLibrary;

// Where the frame's 20 ms timer reads the desktop: the window under a screen
// point and the foreground window. Handed in, so the frame does not depend on
// how a desktop answers these questions.
struct DesktopProbe {
    std::function<const QObject*(const QPoint&)> windowAt;
    std::function<const QObject*()> foregroundWindow;
};

// The program's only window with a caption: shown maximised, never smaller
// than 800 x 600, with the main panel over its whole client area.
class FrameDialog : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinimumWidth = 800;
    static constexpr int kMinimumHeight = 600;

    FrameDialog(StudyServices& services, DesktopProbe probe);
    ~FrameDialog() override;

    // Sets caption and icon, shows the frame maximised, creates the window
    // tree and starts the 20 ms timer.
    void start();

    MainPanelDialog* mainPanel() const { return mainPanel_; }

    // Raises the study screen over every other window and gives the keyboard
    // to the dictation form's answer box (used by the screensaver's guard);
    // the frame goes into the topmost layer as the session says.
    void bringToFront();
    // Takes the frame out of the topmost layer again.
    void leaveTopLayer();
    // The answer box the keyboard goes to in bringToFront.
    void setAnswerBox(QWidget* answerBox) { answerBox_ = answerBox; }

    // One tick of the 20 ms timer: refreshes now, cursorPos,
    // windowUnderCursor and foregroundWindow in the study state.
    void refreshObservations();

signals:
    // Emitted once, after the first paint of the study screen.
    void firstFramePainted();
    // The learner closed the frame: the program ends.
    void closed();

protected:
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    StudySession& session_;
    UnitLibrary* library_;
    DesktopProbe probe_;
    MainPanelDialog* mainPanel_ = nullptr;
    QPointer<QWidget> answerBox_;
    QTimer timer_;
    bool painted_ = false;
};

} // namespace dictora
