// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/dictation/answer_submission.h"
#include "core/study/stamp.h"

#include <QString>

#include <optional>

namespace dictora {

class SentenceTable;
struct StudyState;

// How the answer box looks: it is read-only outside Edit and Dictation mode,
// and in Dictation mode locked until enough of the sentence was heard.
enum class AnswerLook { Browse, Edit, Locked, Typing };

// What the prompt line and the answer box show once a row is loaded.
struct RowShown {
    bool cleared = false;          // no row is current: both boxes go empty
    std::optional<QString> prompt; // the prompt line's text; none keeps what it shows
    QString answer;                // the answer box's text, caret at its end
    bool readOnly = true;          // (unless startsTyping: the unlock decides)
    bool startsTyping = false;     // Dictation on a sentence: typing time starts, unlock step 0
    QString speechText;            // what the voice would say for the row
};

// What an unlock of typing changes; nothing once typing is open.
struct UnlockStep {
    bool changed = false;
    std::optional<bool> readOnly; // none: the box keeps its state (a title row)
    bool takeKeyboard = false;    // Dictation mode: the answer box's window asks for the keyboard
};

// What a change of the answer box shows and sounds.
struct TypingStep {
    int percent = 0;
    bool counting = false;      // Dictation mode: the bar shows percent (else it is empty)
    bool matchCue = false;      // every letter of the sentence is typed
    bool playRecording = false; // the learner's recording is played back, once per row
};

// What Enter on a sentence in Dictation mode leads to, beyond the outcome
// of judging it.
struct AnswerStep {
    SubmitOutcome outcome;
    bool soundBackOn = false; // a wrong answer or "answer again": the sentence sounds again
    bool replay = false;
    bool askAgain = false;    // the box asks again: kAnswerAgainText, all selected
    int bookedLevel = -1;     // the hint level the answer is booked with; -1: not accepted
};

// The dictation form's turn on the current row: whether typing is open, the
// letters still missing, the hints given, the typing time and the playback
// of the learner's recording. The form shows what these decide.
class AnswerTurn {
public:
    // The row state.currentRow was loaded (or none is current).
    RowShown load(const SentenceTable& table, const StudyState& state, const QString& unitName);
    // Nothing of the row stays (a closed Unit, no current row).
    void clear();
    // flag 0 from a row load, 1 once enough of the sentence was heard (or
    // recorded). A sentence with no text opens at once.
    UnlockStep unlock(int flag, const SentenceTable& table, const StudyState& state);
    // The answer box holds answer now.
    TypingStep typed(const QString& answer, const SentenceTable& table, const StudyState& state,
                     bool hasRecording);
    // Enter with a trimmed answer to sentence.
    AnswerStep submit(const QString& sentence, const QString& trimmedAnswer);
    AnswerLook look(const StudyState& state) const;

    int typingUnlocked() const { return typingUnlocked_; }
    // The prompt line shows the sentence itself (the hints ran out).
    int answerShown() const { return answerShown_; }
    int letterGap() const { return letterGap_; }
    const HintState& hints() const { return hints_; }
    int hintLevel() const { return hints_.hintLevel; }
    TimeValue typingStart() const { return typingStart_; }
    int recordingPlayedBack() const { return recordingPlayedBack_; }

private:
    int typingUnlocked_ = 0;
    int answerShown_ = 0;
    int letterGap_ = -1000;
    HintState hints_;
    TimeValue typingStart_ = 0;
    int recordingPlayedBack_ = 0;
};

} // namespace dictora
