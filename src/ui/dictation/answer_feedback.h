// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/dictation/answer_diff.h"
#include "core/dictation/answer_submission.h"
#include "core/history/dictation_attempt.h"

#include <QObject>
#include <QTimer>
#include <QWidget>

namespace dictora {

class StudyPanel;
struct StudyServices;

// The whole answer marked against the sentence, in a strip under the
// dictation form: right characters in the answer's blue, wrong ones red and
// underlined, extra ones orange and struck through, missing ones green. Until
// the sentence is revealed a missing part shows as blanks of its length, so
// the marking does not give the answer away.
class AnswerMarksView : public QWidget {
    Q_OBJECT
public:
    explicit AnswerMarksView(QWidget* form);

    void showMarks(const AnswerDiff& diff, bool revealed);
    const AnswerDiff& diff() const { return diff_; }
    bool revealed() const { return revealed_; }
    // The marked answer as drawn, one text (tests read it).
    QString shownText() const;
    // Under the form's answer box, or above the form near the screen's bottom.
    void follow();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString pieceText(const DiffPiece& piece) const;

    QWidget* form_;
    AnswerDiff diff_;
    bool revealed_ = false;
};

// What a checked answer adds beyond the rules of answer checking: the marks
// under the answer box and the answer's line in the study record. It never
// changes a decision of the dictation form. Answers the record cannot take
// now wait in it and are written again every kRetryMs; the learner is told
// in the tip window, which leaves the keyboard with the answer box.
class AnswerFeedback : public QObject {
    Q_OBJECT
public:
    AnswerFeedback(QWidget& form, StudyPanel& panel, StudyServices& services);

    // A row was loaded: the marks go; in Dictation mode a new attempt starts.
    void rowLoaded();
    // Enter was judged on row (before the form carries the outcome out).
    void answerChecked(int row, const QString& answer, const SubmitOutcome& outcome,
                       const HintState& hints);

    AnswerMarksView* view() const { return view_; }
    static constexpr int kRetryMs = 2000;

private:
    void record(const AnswerEntry& entry);
    void retryWaiting();
    void caughtUp(qsizetype written);
    void tellWaiting();
    void tell(const QString& text);

    StudyPanel& panel_;
    StudyServices& services_;
    AnswerMarksView* view_;
    DictationAttempt attempt_;
    QTimer retry_;
    qsizetype written_ = 0; // waiting answers written since the record failed
    QString toldText_;
};

} // namespace dictora
