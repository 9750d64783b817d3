// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/dictation/answer_diff.h"
#include "core/history/study_record.h"

#include <QSet>

namespace dictora {

// One row's way through Dictation mode as the study record sees it, from
// the row's load to its right answer: which Enter this is, how long typing
// took, and which words were missed. A word missed again on the same row is
// recorded once, so pressing Enter at the same place for a hint does not
// make it look missed many times.
class DictationAttempt {
public:
    void begin(const QString& unit, const QString& section, const QString& sentence,
               TimeValue unlockedAt);
    void end() { active_ = false; }
    bool isActive() const { return active_; }
    const QString& sentence() const { return sentence_; }

    // The record entry of one checked answer. A right answer ends the
    // attempt; "answer again" and wrong answers keep it going.
    AnswerEntry check(AnswerVerdict verdict, bool counted, const AnswerDiff& diff, int hintLevel,
                      bool revealed, TimeValue now);

private:
    bool active_ = false;
    QString unit_;
    QString section_;
    QString sentence_;
    TimeValue unlockedAt_ = 0;
    int tries_ = 0;
    QSet<QString> missed_;
};

} // namespace dictora
