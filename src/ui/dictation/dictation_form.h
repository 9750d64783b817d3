// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/dictation/answer_turn.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class QPlainTextEdit;

namespace dictora {

class AnswerFeedback;
class DictationToolbar;
class FadeInWorker;
class StudyPanel;
class MismatchMarker;
class TypingProgressBar;
struct StudyServices;
struct StudyState;

// The window in which the learner types. The prompt line above shows the
// row's second line (or the previous sentence); the answer box below takes
// the answer in Dictation mode, the sentence text in Edit mode, and shows it
// read-only otherwise. What it shows after which event, what a key does and
// how an answer is judged are decided in core (AnswerTurn, the key maps);
// this window carries that out. It floats over the desktop as a strip that sizes
// itself to its text, or is docked in the main panel.
class DictationForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 20;

    // owner: the window this one stays in front of (the progress panel).
    DictationForm(StudyPanel& panel, QWidget* owner);
    ~DictationForm() override;

    // --- what other windows call ---
    // Shows the current row (selection change, mode change, media window).
    void LoadRow();
    // 0 from LoadRow; 1 from the media window once enough was heard.
    void UnlockTyping(int flag);
    // Counts, bar, match cue and recording playback after every change of
    // the answer box.
    void UpdateTypingProgress();
    // Enter in Dictation mode on a sentence row.
    void SubmitAnswer();
    // The floating layout, after a row load, a reveal and on request of the
    // main panel.
    void layoutCompact();
    // The main panel docked (true) or released (false) the form.
    void setDocked(bool docked);
    // One step up or down the screen (floating, autoMove only).
    Q_INVOKABLE void automaticStep();
    // A window that held the keyboard closed: in Dictation the answer box
    // asks for it on the next ticks.
    void returnKeyboard();

    DictationToolbar* toolbar() const { return toolbar_; }
    QPlainTextEdit* promptLine() const { return promptLine_; }
    QPlainTextEdit* answerBox() const { return answerBox_; }
    TypingProgressBar* typingProgressBar() const { return progressBar_; }
    MismatchMarker* mismatchMarker() const { return marker_; }
    AnswerFeedback* answerFeedback() const { return feedback_; }

    // Typing open, letters missing, hints, typing time of the current row.
    const AnswerTurn& turn() const { return turn_; }
    int promptHeight() const { return promptHeight_; }
    int answerHeight() const { return answerHeight_; }
    int answerLineHeight() const { return answerLineHeight_; }
    bool docked() const { return docked_; }
    // The toolbar is dragging the floating form: the layout keeps its left edge.
    void setDraggedByToolbar(bool dragged) { draggedByToolbar_ = dragged; }
    // The last left-button press on the form itself started dragging it.
    bool pressDrags() const { return pressDrags_; }

    // 1: the form keeps its place (no steps, no dragging).
    int placeFixed = 0;
    // 1: the form steps after each right answer and cannot be dragged.
    int autoMove = 1;
    // Direction of the next automatic step: 0 down, 1 up.
    int movingUp = 0;
    // Left plus right margins of the answer box plus the width of "Ww".
    int marginWidth = 0;

    // One tick of the 20 ms timer; public so tests can step it.
    void tick();

    // The layered alpha of the form (0-255), set by the fade-in worker.
    Q_INVOKABLE void setAlpha(int alpha);
    int alpha() const { return alpha_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool filterKey(QObject* watched, QKeyEvent* key);
    bool recordingGate(bool isEnter);
    void clearRow();
    void replaySentence();
    void showPrompt(const QString& text);
    void setAnswerText(const QString& text);
    void applyAnswerColour();
    void placeBoxes(int width);
    void growWhileTyping();
    void placeToolbar();
    QRect toolbarPlaceNow();
    void showMismatch(const SubmitOutcome& outcome);
    void placeMarker();
    void rightAnswer();
    void measureMargin();
    void takeKeyboard();
    QRect workArea() const;
    QRect floatArea() const;
    QRect floatBand(int height) const;
    void keepWorkClear();
    void keepInsideAfterDrag();
    bool mediaEnlarged() const;
    int lineCount(const QPlainTextEdit* box) const;
    QPoint caretPoint() const;

    StudyPanel& panel_;
    StudyServices& services_;
    const StudyState& state_;
    QPlainTextEdit* promptLine_ = nullptr;
    QPlainTextEdit* answerBox_ = nullptr;
    TypingProgressBar* progressBar_ = nullptr;
    MismatchMarker* marker_ = nullptr;
    DictationToolbar* toolbar_ = nullptr;
    AnswerFeedback* feedback_ = nullptr;
    std::unique_ptr<FadeInWorker> fadeIn_;

    AnswerTurn turn_;
    int promptHeight_ = 26;
    int answerHeight_ = 54;
    int answerLineHeight_ = 52;
    bool docked_ = false;
    bool followingToolbar_ = false; // moving to where the toolbar fits
    bool draggedByToolbar_ = false;
    bool pressDrags_ = false;
    // Answer box position just after the wrong character the marker is under.
    int markerPosition_ = 0;
    bool marginMeasured_ = false;
    int alpha_ = 255;
    // Ticks left in which the form asks for the keyboard (half a second).
    static constexpr int kKeyboardTries = 25;
    int keyboardTries_ = 0;
    QTimer timer_;
};

} // namespace dictora
