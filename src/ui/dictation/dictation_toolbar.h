// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/widgets/layered_window.h"

#include <QImage>
#include <QPoint>
#include <QTimer>

#include <array>

namespace dictora {

class DictationForm;
class StudyPanel;

// The strip of four picture buttons that travels with the dictation form:
// sound on or off, the voice recorder, the form's layout, and adding the
// current sentence to the Sentence Notebook. It is one picture with
// per-pixel alpha and no controls of its own; in the floating layout it is
// also the handle the form is dragged by.
class DictationToolbar : public LayeredWindow {
    Q_OBJECT
public:
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 35;
    static constexpr int kButtonPitch = 40;

    enum Button { None = -1, SoundButton = 0, RecordButton, LayoutButton, NotebookButton };

    DictationToolbar(StudyPanel& panel, DictationForm& form);

    // The record button's picture for a recorder state (0 idle, 1 recording,
    // 2 playing, 3 paused, 4 stopped); redraws silently when it changed.
    void setRecordButtonState(int state);
    int recordButtonState() const { return recordButtonState_; }

    // The button under a point of the strip, or None.
    Button buttonAt(int x) const;
    Button hovered() const { return hovered_; }
    bool notebookButtonVisible() const { return notebookVisible_; }
    // The left button went up over a button: what the button does.
    void pressButton(Button button);

    // One tick of the 20 ms timer; public so tests can step it.
    void tick();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void draw(bool withCue);
    void setHovered(Button button);
    bool underCursor() const;
    void toggleSound();
    void pressRecordButton();
    void addToNotebook();
    QPoint tipPoint() const;

    StudyPanel& panel_;
    DictationForm& form_;
    std::array<QImage, 2> soundPictures_;  // off, on
    std::array<QImage, 5> recordPictures_; // by record button state
    std::array<QImage, 2> layoutPictures_; // floating, fixed
    QImage notebookPicture_;
    Button hovered_ = None;
    QPoint dragPoint_{-1234, -1234};
    bool shownSoundOn_ = true;
    int shownPlaceFixed_ = 0;
    int recordButtonState_ = 0;
    bool notebookVisible_ = false;
    bool releaseEndsDoubleClick_ = false;
    bool draggingForm_ = false;
    QTimer timer_;
};

} // namespace dictora
