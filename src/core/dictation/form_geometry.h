// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QString>
#include <QRect>

namespace dictora {

// Where the dictation form and its small windows go. Screen coordinates
// unless a name says otherwise; kept apart from the widgets so every case
// can be checked without a screen.

// Distance the floating strip keeps from the top and bottom of the area it
// floats in.
inline constexpr int kFormScreenEdge = 30;
// How far one automatic step moves the floating strip.
inline constexpr int kFormStepPixels = 50;
inline constexpr int kToolbarWidth = 160;
inline constexpr int kToolbarHeight = 35;

// The floating strip for the area it floats in (the work area, or the whole
// screen while the video is enlarged): 80 % of its width, centred unless the
// learner drags it by the toolbar (then it keeps currentLeft), at its current
// top moved up so that its bottom stays 30 pixels inside the area, but never
// above 30 pixels below the area's top.
QRect floatingFormRect(const QRect& area, const QPoint& current, int height, bool dragged);

// Height of the floating strip for the heights of its two boxes.
inline int floatingFormHeight(int promptHeight, int answerHeight)
{
    return answerHeight + promptHeight + 18;
}

// One automatic step after a right answer: 50 pixels down (or up while
// movingUp), turning instead of moving where the strip would come within 30
// pixels (plus a 10-pixel margin) of the area's edge.
struct FormStep {
    int top = 0;
    bool movingUp = false;
};
FormStep automaticFormStep(const QRect& area, int top, int height, bool movingUp);

// The part of the area the floating form (with its toolbar above it) keeps
// to, so that `work` -- the current row with its waveform strip, or the rows
// in view when none is current -- is never under it: below the work where
// the form fits there, else above it, else the half of the area farther from
// the work's centre. An empty work leaves the whole area. The area is the
// work area less the status bar, so the form never covers that either.
QRect floatingFormBand(const QRect& area, const QRect& work, int formHeight);

// The toolbar travels with the form: 10 pixels in from its left, 45 pixels
// above its top when floating, 40 above its bottom when docked.
QRect toolbarRect(const QRect& form, bool docked);

// The red marker under the first wrong character, in the form's own
// coordinates: as wide as that character (charLeft to charRight, in the
// form's coordinates; the line's top is caretY in the answer box), at least kMarkerMinWidth so a
// narrow letter is still seen, and kept inside the form.
inline constexpr int kMarkerMinWidth = 6;
QRect mismatchMarkerRect(int charLeft, int charRight, int caretY, int formWidth, int promptHeight,
                         int answerLineHeight);

// Where the hint of 16 characters appears: above the caret line, kept
// between 10 and screenWidth - 230 across.
QPoint hintPoint(const QPoint& formOrigin, const QPoint& caret, int promptHeight, int screenWidth);

// The floating form grows wider while the learner types near its right
// edge: once the caret is past three quarters of width and the caret's line
// (trimmed, lineText) ends in a word of more than 4 characters, the form
// widens to margins + lastX + 20, where lastX is the left edge of that
// line's last character, up to the work area's width less 14. Growth of 4
// pixels or less is no growth. Returns the width to take.
int grownFormWidth(int width, int workWidth, int caretX, const QString& lineText, int lastX,
                   int margins);

} // namespace dictora
