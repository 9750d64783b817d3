// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dictation/answer_submission.h"

#include "core/study/number_text.h"
#include "core/study/sentence_table.h"

#include <cstdlib>

namespace dictora {

SubmitOutcome judgeAnswer(const QString& sentence, const QString& trimmedAnswer, HintState& hints)
{
    SubmitOutcome out;
    out.mismatch = CompareAnswer(sentence, trimmedAnswer);
    if (out.mismatch.matches()) {
        out.verdict =
            hints.hintLevel >= HintState::kRevealLevel ? Verdict::AnswerAgain : Verdict::Right;
        hints.reset();
        return out;
    }
    out.verdict = Verdict::Wrong;
    const int j = out.mismatch.answerIndex;
    out.showMarker = j < trimmedAnswer.size();
    if (std::abs(j - hints.lastMismatchPos) <= HintState::kNearby) {
        ++hints.repeatCount;
    } else {
        hints.repeatCount = 0;
        out.hideTip = true;
    }
    hints.lastMismatchPos = j;
    if (hints.repeatCount >= 2) {
        if (hints.repeatCount == 2)
            ++hints.hintLevel;
        out.showHint = true;
        out.hint = hintText(sentence, out.mismatch.sentenceIndex);
    }
    out.reveal = hints.hintLevel == HintState::kRevealLevel;
    return out;
}

QString hintText(const QString& sentence, int sentencePosition)
{
    constexpr int kHintLength = 16;
    constexpr int kHintLead = 8;
    const int from = sentencePosition < kHintLead ? 0 : sentencePosition - kHintLead;
    return sentence.trimmed().mid(from, kHintLength);
}

NextDictation nextDictationRow(const SentenceTable& table, int currentRow, int reviewFrequency)
{
    NextDictation next;
    for (int r = currentRow + 1; r >= 0 && r < table.rowCount(); ++r) {
        if (table.isSentence(r) &&
            table.field(r, Done) == QLatin1String("0")) {
            next.row = r;
            break;
        }
    }
    if (next.row >= 0)
        next.soundOn = !(reviewFrequency == 2 && textToInt(table.field(next.row, Level)) > 4);
    return next;
}

int typingPercent(const LetterCounts& counts)
{
    const int gap = counts.total - counts.typed;
    if (gap > 0)
        return int(double(counts.typed) / double(counts.total) * 100.0);
    return 100 - gap;
}

int progressBarWidth(int percent, int windowWidth)
{
    const int w = windowWidth - 40;
    if (percent <= 100)
        return percent * w / 100;
    if (percent <= 110)
        return w * (percent - 100) / 10;
    return w;
}

} // namespace dictora
