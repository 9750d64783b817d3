// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/widgets/panel_layout.h"
#include "ui/widgets/study_panel.h"

namespace dictora {

// The study screen: covers the frame's client area, holds the sentence list
// and owns every other window of the program, created once in a fixed order
// and never destroyed during the run.
class MainPanelDialog : public StudyPanel {
    Q_OBJECT
public:
    MainPanelDialog(QWidget* frame, StudyServices& services);
    ~MainPanelDialog() override;

    // Creates the owned windows, in the order of their chain of ownership.
    void createOwnedWindows();

    void layoutPanel() override;
    // Places the floating windows alone (on every move of the panel).
    void layoutFloating();
    void toggleDock() override;
    // The panel's screen place changed (the frame moved).
    void panelMoved();
    // Takes the frame out of the topmost layer, where the screensaver puts
    // it for Dictation mode; every way out of Dictation calls it, so the
    // unit library pop-up and other programs come up over it again.
    void leaveTopLayer();
    void modeChanged(bool frameOnTop) override;
    void bringFrameToFront() override;
    void setAnswerBox(QWidget* answerBox) override;
    bool whenFramePainted(QObject* context, std::function<void()> then) override;
    void showStudyWindow(int which) override;
    QTableView* sentenceView() const override;
    void toggleMute() override;
    PlaybackNow sentencePlaybackNow() override;
    void carryOutSpace(SpaceAction action) override;
    void holdChangeQuestion(QWidget* question) override;
    void keepChangeChoice(int choice) override;

    PanelLayoutInput layoutInput() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void filterInput(QWidget* widget);
};

} // namespace dictora
