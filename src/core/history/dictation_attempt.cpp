// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/dictation_attempt.h"

#include "core/dictation/answer_checking.h"

#include <algorithm>

namespace dictora {

void DictationAttempt::begin(const QString& unit, const QString& section, const QString& sentence,
                             TimeValue unlockedAt)
{
    active_ = true;
    unit_ = unit;
    section_ = section;
    sentence_ = sentence;
    unlockedAt_ = unlockedAt;
    tries_ = 0;
    missed_.clear();
}

AnswerEntry DictationAttempt::check(AnswerVerdict verdict, bool counted, const AnswerDiff& diff,
                                    int hintLevel, bool revealed, TimeValue now)
{
    AnswerEntry entry;
    entry.answeredAt = now;
    entry.unlockedAt = unlockedAt_;
    entry.unit = unit_;
    entry.section = section_;
    entry.sentence = sentence_;
    entry.verdict = verdict;
    entry.counted = counted;
    entry.tries = ++tries_;
    entry.hints = hintLevel;
    entry.revealed = revealed;
    entry.seconds = int(std::clamp<TimeValue>(now - unlockedAt_, 0, 24 * 3600));
    entry.characters = int(sentence_.size());
    for (const QString& word : diff.missedWords) {
        if (!missed_.contains(word)) {
            missed_.insert(word);
            entry.missedWords.append(word);
        }
    }
    if (verdict == AnswerVerdict::Right)
        active_ = false;
    return entry;
}

} // namespace dictora
