// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/progress_pass.h"
#include "core/study/sentence_table.h"
#include "core/study/stamp.h"

namespace dictora {

// The prompt the dictation form shows in place of the second line when an
// answer came only after the hints gave it away.
inline const QString kAnswerAgainText = QStringLiteral("  Answer again ......");

// The highest hint level at which an accepted answer still counts as known.
inline constexpr int kMaxCountedHintLevel = 3;

// The hint level an accepted answer is booked with: 0 for a right answer,
// the first level past kMaxCountedHintLevel for one the hints gave away
// (the whole sentence was shown).
inline constexpr int kGivenAwayHintLevel = kMaxCountedHintLevel + 1;
int acceptedHintLevel(bool givenAway);

// Typing time counts from typingStart. After a pause longer than this the
// count starts again at now: time away from the keyboard is not typing.
inline constexpr TimeValue kLongTypingPauseSeconds = 100;
TimeValue typingStartAfterPause(TimeValue typingStart, TimeValue now);

enum class AnswerEffect {
    Rested,    // counted: the row rests until its next review
    AskAgain,  // given away by the hints: the row stays to study
    Unchanged, // a resting row, or no such row
};

struct AnswerResult {
    AnswerEffect effect = AnswerEffect::Unchanged;
    bool unitModified = false; // the Unit must be saved
};

// An answer to the sentence at row was accepted. With hintLevel at most 3 a
// row still to study (done "0") rests: done "1", level + 1, studiedAt = now,
// and the typing totals grow by the text's length and the seconds since
// typingStart. With a higher hintLevel the row stays to study and loses a
// level when above 3; the form then shows kAnswerAgainText as its prompt.
// The prompt is not written into the row's text2: that would replace the
// learner's second line in the file at the next save.
AnswerResult acceptAnswer(SentenceTable& table, int row, int hintLevel, TimeValue now,
                          TimeValue typingStart, StudyTotals& totals);

// Clearing a Unit's record: every row to study again at level 0, studiedAt
// the default stamp.
void clearRecord(SentenceTable& table);

} // namespace dictora
