// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/screensaver/allow_list.h"
#include "core/screensaver/picture_list.h"
#include "ui/screensaver/picture_loader.h"
#include "ui/widgets/layered_window.h"

#include <QImage>
#include <QPainterPath>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace dictora {

class ForegroundGuard;
class StudyPanel;
class WindowSource;
struct StudyState;

// The window behind the study screen, with three jobs: at start-up it is the
// splash (a greeting that fades in over the panel while the other windows
// come up, then fades out); in Dictation mode it can cover the whole screen
// with one of the learner's pictures from the Cfg folder and keep other
// programs from coming in front of it; otherwise it is a plain light-green
// area behind the dictation strip.
//
// Threads: the fade runs on a worker thread of its own. The worker never
// touches a widget: it paces the fade and posts every redraw and every
// window it shows to the user-interface thread. The two threads share only
// fadeRequested, splashStage and whether the study screen has painted,
// all atomic.
class ScreensaverWindow : public LayeredWindow {
    Q_OBJECT
public:
    // The boxes of the backdrop, in window coordinates (the three picture
    // boxes lie at the right end of the screen, 50 pixels each).
    static QRect toggleBox() { return {10, 10, 230, 50}; }
    static constexpr int kPictureBoxSize = 50;

    // Reads the picture list ("Cfg/dsc*") and the allow list
    // ("Cfg/App.ini") of the program folder once, here.
    ScreensaverWindow(StudyPanel& panel, QWidget* owner);
    ~ScreensaverWindow() override;

    // Switches the dictation screensaver on or off: the panel lays its
    // windows out again; on, the backdrop shows its next picture at full
    // opacity and the study screen comes to the front; off, the window is
    // redrawn with alpha 0 (in Dictation mode that leaves the label that
    // switches it on again).
    void SetScreensaverOn(bool on);
    // Runs the fade worker: the start-up splash while splashStage is 0,
    // otherwise a quick fade-out.
    void StartFade();
    // Stops a running fade and shows the window at full opacity without
    // activating it.
    void ShowSolid();
    // Draws the window for the present state with a constant alpha (0-255).
    // While the screensaver runs in Dictation mode every call shows the next
    // picture: it is decoded on a worker thread and drawn when it is ready
    // (pictureLoading()); until then the one before stays.
    void Redraw(int alpha);
    bool pictureLoading() const { return loader_.busy(); }

    bool screensaverOn() const { return screensaverOn_; }
    bool fadeRunning() const { return fadeRequested_ != 0; }
    const PictureList& pictures() const { return pictures_; }
    const AllowList& allowList() const { return allowList_; }

    // 0: the start-up splash has not run; 1: it runs; 3: it has finished.
    // The unit library's pop-up hides by itself only once this is above 1.
    std::atomic<int> splashStage{0};

    // What "★" asks for: a picture file, or an empty path when the learner
    // chose none. An open-file dialog unless set otherwise (tests).
    void setPictureChooser(std::function<QString()> chooser)
    {
        choosePicture_ = std::move(chooser);
    }
    // Where the guard reads the desktop; without one the first tick of the
    // running screensaver looks for the X11 desktop.
    void setWindowSource(std::unique_ptr<WindowSource> source);

    // One tick of the 100 ms timer; public so tests can step it.
    void tick();

signals:
    // The start-up splash has faded out (splashStage is 3).
    void splashFinished();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class Look { Splash, Backdrop, SwitchedOffLabel, Plain };

    Look currentLook() const;
    void render();
    void applyAlpha(int alpha);
    void clickPictureBox(int box);
    void runFade(std::stop_token stop, int run, bool splash);
    void stopFade();
    void postFadeStep(int run, std::function<void()> step);
    void fadeStep(int alpha);
    void finishFade(bool splash);
    void showWindowSet(int which);
    void showDecodedPicture(const PictureLoader::Result& result);
    void showTip(const QString& text);
    void tipPictureBox();
    void guardForeground();
    void keepOwnedWindowsInFront(QWidget* owner);

    StudyPanel& panel_;
    const StudyState& state_;
    QString cfgFolder_;
    PictureList pictures_;
    AllowList allowList_;
    bool screensaverOn_ = false;

    // The look last drawn and its picture (null: the gradient, or one that
    // would not load), kept so a new size redraws the same picture.
    Look look_ = Look::Plain;
    QImage picture_;
    bool pictureIsGradient_ = true;
    PictureLoader loader_;
    bool toldAllowListCut_ = false;
    int tippedBox_ = -1; // the picture box whose tip was shown, -1 for none

    // Outline paths of the fixed texts, built on first use (origin at their
    // box's top-left corner).
    QPainterPath greetingPath_;
    QPainterPath exitLabelPath_;
    QPainterPath switchOnLabelPath_;
    QPainterPath boxPaths_[3];

    std::atomic<int> fadeRequested_{0};
    std::atomic<int> fadeRun_{0};
    std::atomic<bool> studyScreenPainted_{true};
    std::jthread fade_;

    std::function<QString()> choosePicture_;
    std::unique_ptr<WindowSource> windowSource_;
    bool windowSourceLookedFor_ = false;
    std::unique_ptr<ForegroundGuard> guard_;
    bool exposed_ = false;
    QTimer timer_;
};

} // namespace dictora
