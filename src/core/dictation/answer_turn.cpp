// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dictation/answer_turn.h"

#include "core/study/dictation_results.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"

namespace dictora {

namespace {

// Playing the learner's recording back once typing is this far along.
constexpr int kPlaybackPercent = 60;

} // namespace

RowShown AnswerTurn::load(const SentenceTable& table, const StudyState& state,
                          const QString& unitName)
{
    recordingPlayedBack_ = 0;
    typingUnlocked_ = 0;
    letterGap_ = -1000;
    hints_.reset();
    RowShown shown;
    const int row = state.currentRow;
    if (!table.isValidRow(row)) {
        // No row is current (deleted, or none chosen yet): nothing of an
        // earlier row stays in the boxes.
        clear();
        shown.cleared = true;
        return shown;
    }
    // The row's second line, else the sentence before it, or the Section's
    // title after the Unit's name.
    const QString& text2 = table.field(row, Text2);
    if (!text2.isEmpty())
        shown.prompt = text2;
    else if (row > 0 && table.isTitleRow(row - 1))
        shown.prompt = unitName + QStringLiteral(" // ") + table.field(row - 1, SectionTitle);
    else if (row > 0)
        shown.prompt = table.field(row - 1, Text);
    if (shown.prompt)
        answerShown_ = 0;

    const QString& text = table.field(row, Text);
    shown.speechText = text;
    if (state.dictationMode && !table.isTitleRow(row)) {
        shown.answer = AnswerStarter(text);
        shown.startsTyping = true;
        typingStart_ = state.now.toSecsSinceEpoch();
    } else {
        shown.answer = text;
        shown.readOnly = !state.editMode;
    }
    return shown;
}

void AnswerTurn::clear()
{
    typingUnlocked_ = 0;
    letterGap_ = -1000;
    hints_.reset();
    answerShown_ = 0;
}

UnlockStep AnswerTurn::unlock(int flag, const SentenceTable& table, const StudyState& state)
{
    UnlockStep step;
    if (typingUnlocked_ == 1)
        return step;
    step.changed = true;
    typingUnlocked_ = flag;
    const int row = state.currentRow;
    if (table.isValidRow(row) && !table.isTitleRow(row)) {
        if (table.field(row, Text).isEmpty()) {
            // Nothing to hear: nothing to wait for.
            typingUnlocked_ = 1;
            step.readOnly = false;
        } else {
            step.readOnly = state.soundOn && flag == 0;
        }
    }
    step.takeKeyboard = state.dictationMode;
    return step;
}

TypingStep AnswerTurn::typed(const QString& answer, const SentenceTable& table,
                             const StudyState& state, bool hasRecording)
{
    TypingStep step;
    if (!state.dictationMode)
        return step;
    step.counting = true;
    typingStart_ = typingStartAfterPause(typingStart_, state.now.toSecsSinceEpoch());
    const int row = state.currentRow;
    const QString sentence = table.isValidRow(row) ? table.field(row, Text) : QString();
    const LetterCounts counts = CountLetters(answer, sentence);
    letterGap_ = counts.total - counts.typed;
    step.matchCue = letterGap_ == 0;
    step.percent = typingPercent(counts);
    if (step.percent > kPlaybackPercent && recordingPlayedBack_ == 0 && hasRecording) {
        recordingPlayedBack_ = 1;
        step.playRecording = true;
    }
    return step;
}

AnswerStep AnswerTurn::submit(const QString& sentence, const QString& trimmedAnswer)
{
    AnswerStep step;
    step.outcome = judgeAnswer(sentence, trimmedAnswer, hints_);
    switch (step.outcome.verdict) {
    case Verdict::Right:
        step.bookedLevel = acceptedHintLevel(false);
        break;
    case Verdict::AnswerAgain:
        // The row stays to study; the revealed sentence stays above the box.
        step.bookedLevel = acceptedHintLevel(true);
        step.soundBackOn = true;
        step.replay = true;
        step.askAgain = true;
        break;
    case Verdict::Wrong:
        step.soundBackOn = true;
        step.replay = true;
        if (step.outcome.reveal)
            answerShown_ = 1;
        break;
    }
    return step;
}

AnswerLook AnswerTurn::look(const StudyState& state) const
{
    if (state.dictationMode)
        return typingUnlocked_ ? AnswerLook::Typing : AnswerLook::Locked;
    return state.editMode ? AnswerLook::Edit : AnswerLook::Browse;
}

} // namespace dictora
