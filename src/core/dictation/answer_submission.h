// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/dictation/answer_checking.h"
#include "core/study/dictation_results.h"

#include <QString>

namespace dictora {

class SentenceTable;

// How far the learner has been helped on the current row: the Enter presses
// that found the mismatch near the previous one, and the hint escalations.
// At kRevealLevel the whole sentence is shown.
struct HintState {
    static constexpr int kNoMismatch = -100;
    static constexpr int kRevealLevel = 4;
    // Mismatches this close (in answer characters) count as the same place.
    static constexpr int kNearby = 5;

    int hintLevel = 0;
    int repeatCount = 0;
    int lastMismatchPos = kNoMismatch;

    void reset() { *this = HintState{}; }
};
// A revealed sentence is one the hints gave away.
static_assert(HintState::kRevealLevel == kGivenAwayHintLevel);

enum class Verdict {
    Right,       // counts: the row rests, the next due row follows
    AnswerAgain, // right, but only after the sentence was revealed
    Wrong,
};

// What one Enter in Dictation mode is to do; the window carries it out.
struct SubmitOutcome {
    Verdict verdict = Verdict::Wrong;
    AnswerMismatch mismatch;
    // The wrong character lies inside what was typed, not after it.
    bool showMarker = false;
    // The mismatch moved more than kNearby characters: the old hint goes.
    bool hideTip = false;
    // The 16 characters of the sentence around the wrong place.
    bool showHint = false;
    QString hint;
    // The hints have run out: the prompt line shows the sentence.
    bool reveal = false;
};

// Judges a trimmed answer to sentence and moves the hint state on: the first
// Enter at a place only marks it, the second nearby one counts a repeat, the
// third raises hintLevel and shows the hint, every further nearby one shows it
// again. Right answers and "answer again" reset the state.
SubmitOutcome judgeAnswer(const QString& sentence, const QString& trimmedAnswer, HintState& hints);

// The 16 characters of the trimmed sentence that begin 8 before position.
QString hintText(const QString& sentence, int sentencePosition);

// Where Dictation goes after a right answer on currentRow: the first later
// sentence row still to study (rows before are not revisited), or none, which
// ends Dictation mode. A sentence of a reviewFrequency 2 Unit above level 4 is
// answered from memory: recorded first, heard only afterwards.
struct NextDictation {
    int row = -1000; // below 0: Dictation mode ends
    bool soundOn = true;

    bool endsDictation() const { return row < 0; }
};
NextDictation nextDictationRow(const SentenceTable& table, int currentRow, int reviewFrequency);

// Typing progress in percent: typed / total while letters are missing, else
// 100 plus the letters typed beyond the sentence.
int typingPercent(const LetterCounts& counts);

// Width of the typing progress bar in a window W pixels wide.
int progressBarWidth(int percent, int windowWidth);

} // namespace dictora
