#pragma once

#include "ui/shell/layered_window.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>

namespace dictora {

class MainPanelDialog;

// The window behind the study screen, with three jobs: at start-up it is the
// splash (a greeting that fades in over the panel while the other windows
// come up, then fades out); in Dictation mode it can cover the whole screen
// with one of the learner's pictures and keep other programs from coming in
// front of it; otherwise it is a plain light-green area behind the dictation
// strip.
//
// Threads: the fade runs on a worker thread of its own. The worker never
// touches a widget: it paces the fade and posts every redraw and every
// window it shows to the user-interface thread. The two threads share only
// fadeRequested and splashStage, both atomic.
class ScreensaverWindow : public LayeredWindow {
    Q_OBJECT
public:
    ScreensaverWindow(MainPanelDialog& panel, QWidget* owner);
    ~ScreensaverWindow() override;

    // Switches the dictation screensaver on or off: the panel lays its
    // windows out again; on, the backdrop shows its next picture at full
    // opacity and the study screen comes to the front; off, what is left of
    // the window is redrawn with alpha 0.
    void SetScreensaverOn(bool on);
    // Runs the fade worker: the start-up splash while splashStage is 0,
    // otherwise a quick fade-out.
    void StartFade();
    // Stops a running fade and shows the window at full opacity without
    // activating it.
    void ShowSolid();
    // Draws the window for the present state with a constant alpha (0-255).
    void Redraw(int alpha);

    bool screensaverOn() const { return screensaverOn_; }

    // 0: the start-up splash has not run; 1: it runs; 3: it has finished.
    // The unit library's pop-up hides by itself only once this is above 1.
    std::atomic<int> splashStage{0};

signals:
    // The start-up splash has faded out (splashStage is 3).
    void splashFinished();

private:
    MainPanelDialog& panel_;
    bool screensaverOn_ = false;
    std::atomic<int> fadeRequested_{0};
    std::jthread fade_;
};

} // namespace dictora
