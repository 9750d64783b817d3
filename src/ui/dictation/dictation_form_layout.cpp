// SPDX-License-Identifier: GPL-3.0-or-later
// The dictation form's layout and motion: its place in the floating band,
// docking, growing while typing, the automatic steps and the fade-in.
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_form_metrics.h"

#include "core/dictation/answer_turn.h"
#include "core/dictation/form_geometry.h"
#include "core/shell/window_placement.h"
#include "core/study/sentence_table.h"
#include "core/study/study_session.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/dictation/fade_in_worker.h"
#include "ui/dictation/mismatch_marker.h"
#include "ui/dictation/typing_progress_bar.h"
#include "ui/widgets/dialog_colours.h"
#include "ui/widgets/study_panel.h"
#include "ui/dictation/toolbar_keep_clear.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"
#include "ui/widgets/ui_font.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTextBlock>
#include <QWindow>

#include <algorithm>

namespace dictora {

// --- layout -------------------------------------------------------------------

bool DictationForm::mediaEnlarged() const
{
    const FloatingWindows& floating = panel_.floating();
    return floating.mediaEnlarged && floating.mediaEnlarged();
}

QRect DictationForm::workArea() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {0, 0, 1024, 768};
    return mediaEnlarged() ? screen->geometry() : screen->availableGeometry();
}

int DictationForm::lineCount(const QPlainTextEdit* box) const
{
    QAbstractTextDocumentLayout* layout = box->document()->documentLayout();
    int lines = 0;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        layout->blockBoundingRect(block); // lays the block out at the box's width
        lines += std::max(1, block.layout() ? block.layout()->lineCount() : 1);
    }
    return lines;
}

QPoint DictationForm::caretPoint() const
{
    const QRect caret = answerBox_->cursorRect();
    return answerBox_->viewport()->mapTo(answerBox_, caret.topLeft());
}

void DictationForm::placeMarker()
{
    // Under the wrong character wherever the layout put it: docking,
    // floating, a reveal or a resize move the boxes and rewrap the text.
    // The wrong character is the one just before markerPosition_.
    const int last = answerBox_->document()->characterCount() - 1;
    const int after = std::clamp(markerPosition_, 0, last);
    QTextCursor at(answerBox_->document());
    at.setPosition(std::max(after - 1, 0));
    const QRect before = answerBox_->cursorRect(at);
    at.setPosition(after);
    const QRect behind = answerBox_->cursorRect(at);
    const QChar wrong = answerBox_->document()->characterAt(std::max(after - 1, 0));
    // A character that ends its line: its width from the font.
    const int right = behind.top() == before.top() && behind.left() > before.left()
                          ? behind.left()
                          : before.left() + answerBox_->fontMetrics().horizontalAdvance(wrong);
    const QPoint box = answerBox_->viewport()->mapTo(this, QPoint(0, 0));
    const int caretY = answerBox_->viewport()->mapTo(answerBox_, before.topLeft()).y();
    marker_->setGeometry(mismatchMarkerRect(box.x() + before.left(), box.x() + right, caretY,
                                            width(), promptHeight_, answerLineHeight_));
}

void DictationForm::placeBoxes(int width)
{
    promptLine_->setGeometry(3, 10, width - 6, promptHeight_);
    answerBox_->setGeometry(8, promptHeight_ + 12, width - 16, answerHeight_);
    promptHeight_ = std::max(1, lineCount(promptLine_)) * kPromptLineHeight;
    answerHeight_ = std::max(2, lineCount(answerBox_)) * kAnswerLinePitch;
    promptLine_->setGeometry(3, 10, width - 6, promptHeight_);
    answerBox_->setGeometry(8, promptHeight_ + 12, width - 16, answerHeight_);
}

QRect DictationForm::floatArea() const
{
    QRect area = workArea();
    if (mediaEnlarged())
        return area;
    // Above the status bar, so the form never hides it.
    const FloatingWindows& floating = panel_.floating();
    const QRect status = floating.statusBar ? floating.statusBar() : QRect();
    if (status.intersects(area) && status.top() > area.top())
        area.setBottom(status.top() - 1);
    return area;
}

QRect DictationForm::floatBand(int height) const
{
    // Under the screensaver or the enlarged video no row is in sight: the
    // strip walks the whole area.
    const FloatingWindows& floating = panel_.floating();
    const bool listCovered =
        mediaEnlarged() || (floating.screensaverRunning && floating.screensaverRunning());
    const QRect work = floating.workOnScreen && !listCovered ? floating.workOnScreen() : QRect();
    return floatingFormBand(floatArea(), work, height);
}

void DictationForm::layoutCompact()
{
    if (docked_)
        return;
    // With no row chosen the floating strip has nothing to show, and the
    // rows of the Unit just opened are all there is to read: it comes back
    // with the first row loaded.
    if (!services_.sentences.isValidRow(state_.currentRow)) {
        toolbar_->hide();
        hide();
        return;
    }
    const QRect work = workArea();
    placeBoxes(work.width() * 8 / 10);
    const int height = floatingFormHeight(promptHeight_, answerHeight_);
    setGeometry(floatingFormRect(floatBand(height), pos(), height, draggedByToolbar_));
    keepWorkClear();
    if (marker_->isVisible())
        placeMarker();
    if (!isVisible())
        show();
}

void DictationForm::keepWorkClear()
{
    // Where the form is taller than the room the row leaves, the list moves
    // the row out from under it and its toolbar.
    const FloatingWindows& floating = panel_.floating();
    if (docked_ || mediaEnlarged() || !floating.keepWorkClearOf)
        return;
    floating.keepWorkClearOf(geometry() | toolbar_->geometry());
}

void DictationForm::setDocked(bool docked)
{
    docked_ = docked;
    placeFixed = docked ? 1 : 0;
    if (docked) {
        autoMove = 0;
        promptHeight_ = kDockedPromptHeight;
        resizeEvent(nullptr);
        if (!isVisible())
            show();
    } else {
        promptHeight_ = kPromptLineHeight;
        layoutCompact();
    }
    placeToolbar();
}

void DictationForm::resizeEvent(QResizeEvent*)
{
    if (docked_) {
        promptHeight_ = kDockedPromptHeight;
        promptLine_->setGeometry(3, 10, width() - 6, kDockedPromptHeight);
        answerBox_->setGeometry(3, 64, width() - 6, height() - 65);
        answerHeight_ = height() - 65;
    }
    // The bar follows the new width; the typing itself did not change, so
    // the mismatch marker stays and no cue sounds.
    progressBar_->setPercent(progressBar_->percent(), width(), state_.dictationMode);
    if (marker_->isVisible())
        placeMarker();
    placeToolbar();
}

void DictationForm::showEvent(QShowEvent*)
{
    // The toolbar belongs to this window on the desktop (transient for it),
    // which keeps it in front of the form; that needs both native windows.
    toolbar_->winId();
    if (QWindow* handle = windowHandle())
        toolbar_->windowHandle()->setTransientParent(handle);
    placeToolbar();
    // Mapped only once the form is: a window manager that meets a window
    // whose owner it does not know yet stacks it on its own, under the rest.
    QTimer::singleShot(50, toolbar_, [this, toolbar = toolbar_] {
        if (!isVisible())
            return;
        toolbar->show();
        toolbar->raise();
    });
}

void DictationForm::moveEvent(QMoveEvent*)
{
    placeToolbar();
}

QRect DictationForm::toolbarPlaceNow()
{
    // Inside the work area, and off the screensaver's switch text and the
    // list's first row.
    const QRect wanted = toolbarRect(geometry(), docked_);
    return docked_ ? placeInside(wanted, workArea())
                   : toolbarPlace(wanted, workArea(), toolbarKeepClear(panel_));
}

void DictationForm::placeToolbar()
{
    // Where the toolbar had to move, the strip follows it.
    const QRect wanted = toolbarRect(geometry(), docked_);
    const QRect placed = toolbarPlaceNow();
    toolbar_->setGeometry(placed);
    toolbar_->setSurroundings(docked_ ? kFormBackground : kDialogBackground);
    if (!docked_ && !followingToolbar_ && isVisible() && placed.topLeft() != wanted.topLeft()) {
        followingToolbar_ = true;
        move(pos() + placed.topLeft() - wanted.topLeft());
        followingToolbar_ = false;
    }
    if (toolbar_->isVisible())
        toolbar_->raise();
}

void DictationForm::growWhileTyping()
{
    if (docked_ || !panel_.compactLayout || !state_.dictationMode || !turn_.typingUnlocked())
        return;
    const int oldWidth = width();
    const int oldHeight = height();
    int newWidth = oldWidth;
    const QTextCursor cursor = answerBox_->textCursor();
    const QTextLayout* layout = cursor.block().layout();
    const QTextLine line =
        layout ? layout->lineForTextPosition(cursor.positionInBlock()) : QTextLine();
    if (line.isValid()) {
        QString trimmed = cursor.block().text().mid(line.textStart(), line.textLength()).left(255);
        while (!trimmed.isEmpty() && trimmed.back().isSpace())
            trimmed.chop(1);
        // The left edge of the line's last character, in the box's coordinates.
        const int lastX = int(line.cursorToX(line.textStart() + int(trimmed.size()) - 1));
        newWidth = grownFormWidth(oldWidth, workArea().width(), caretPoint().x(), trimmed, lastX,
                                  marginWidth);
    }
    const int lines = std::max(2, lineCount(answerBox_));
    const int newHeight = promptHeight_ + lines * kAnswerLinePitch + 18;
    if (newWidth == oldWidth && newHeight - oldHeight <= 4)
        return;
    // Wider to the left and right alike: the strip keeps its centre.
    placeBoxes(newWidth);
    setGeometry(x() - (newWidth - oldWidth) / 2, y(), newWidth, promptHeight_ + answerHeight_ + 18);
}

void DictationForm::automaticStep()
{
    if (!panel_.compactLayout || autoMove != 1 || docked_)
        return;
    // The steps walk within the room the current row leaves, above the
    // status bar.
    const QRect band = floatBand(height());
    const FormStep step = automaticFormStep(band, y(), height(), movingUp == 1);
    movingUp = step.movingUp ? 1 : 0;
    const int top = floatingFormRect(band, QPoint(x(), step.top), height(), true).top();
    if (top != y())
        move(x(), top);
}

void DictationForm::setAlpha(int alpha)
{
    alpha_ = std::clamp(alpha, 0, 255);
    // Drawing offscreen (tests) has no window opacity; the value is kept.
    if (QGuiApplication::platformName() != u"offscreen")
        setWindowOpacity(alpha_ / 255.0);
}

// --- the 20 ms timer ------------------------------------------------------------

void DictationForm::measureMargin()
{
    const QFontMetrics metrics(answerBox_->font());
    const int margins = int(2 * answerBox_->document()->documentMargin()) +
                        answerBox_->contentsMargins().left() +
                        answerBox_->contentsMargins().right();
    marginWidth = margins + metrics.horizontalAdvance(QStringLiteral("Ww"));
    marginMeasured_ = true;
}

void DictationForm::tick()
{
    if (!marginMeasured_)
        measureMargin();
    if (keyboardTries_ > 0)
        takeKeyboard();
    // What the toolbar keeps clear of comes and goes (the screensaver's text,
    // the rows of a Unit just opened); the toolbar and the strip make way.
    if (isVisible() && toolbar_->geometry() != toolbarPlaceNow())
        placeToolbar();
    keepInsideAfterDrag();
    TipWindow* tip = panel_.tipWindow();
    if (tip && tip->tipVisible() && tip->tipOwner() == this) {
        const QPoint caret = caretPoint();
        const QPoint origin = geometry().topLeft();
        const QPoint probe(origin.x() + caret.x(), origin.y() + promptHeight_ + caret.y() - 20);
        if (!tip->tipRect().contains(probe))
            tip->HideTip();
    }
}

void DictationForm::keepInsideAfterDrag()
{
    // A form dragged partly off the screen or over the status bar comes back
    // inside once the button is up.
    if (docked_ || !isVisible() || QGuiApplication::mouseButtons() & Qt::LeftButton)
        return;
    const QRect inside = placeInside(geometry(), floatArea());
    if (inside.topLeft() != pos())
        move(inside.topLeft());
}

} // namespace dictora
