// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/history/study_record.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

namespace dictora {

// 100,000 answers over 400 days, a quarter of them wrong with a missed word.
struct LargeRecord {
    inline static const QStringList kMissedWords =
        QString("the quick brown fox jumps over lazy dog while learners write every "
                "sentence they hear from morning until night without stopping")
            .split(' ');

    QTemporaryDir dir;
    StudyRecord record;
    TimeValue now = QDateTime(QDate(2026, 12, 8), QTime(20, 0)).toSecsSinceEpoch();

    LargeRecord()
    {
        record.openFile(dir.filePath("history.sqlite"), dir.filePath("Backup"),
                        StudyRecord::Mode::Write, now);
        QRandomGenerator random(11);
        QList<AnswerEntry> entries;
        for (int k = 0; k < 100000; ++k) {
            AnswerEntry e;
            e.answeredAt = now - TimeValue(random.bounded(400 * 86400));
            e.unlockedAt = e.answeredAt - 30;
            e.unit = QString("Unit %1").arg(k % 20);
            e.sentence = QString("Sentence %1 of the lesson.").arg(k % 3000);
            const bool wrong = k % 4 == 0;
            e.verdict = wrong ? AnswerVerdict::Wrong : AnswerVerdict::Right;
            e.tries = wrong ? 1 : 1 + k % 2;
            e.seconds = 30;
            e.characters = int(e.sentence.size());
            if (wrong)
                e.missedWords = {kMissedWords[k % kMissedWords.size()] + QString::number(k % 97)};
            entries << e;
        }
        record.appendAll(entries);
    }
};

} // namespace dictora
