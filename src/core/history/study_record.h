// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"
#include "core/study/stamp.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace dictora {

// How an Enter in Dictation mode came out.
enum class AnswerVerdict { Wrong = 0, Right = 1, AnswerAgain = 2 };

// One checked answer as the record keeps it.
struct AnswerEntry {
    TimeValue answeredAt = 0;
    TimeValue unlockedAt = 0; // typing began on the row
    QString unit;
    QString section;
    QString sentence;
    AnswerVerdict verdict = AnswerVerdict::Wrong;
    bool counted = false;  // the answer raised the row's level
    int tries = 1;         // this was the n-th Enter on the row
    int hints = 0;         // hint level when the answer was checked
    bool revealed = false; // the sentence had been shown
    int seconds = 0;       // from unlock to this answer
    int characters = 0;    // of the sentence
    QStringList missedWords; // words first missed on this row by this answer
};

// Figures of one day ("%Y%m%d" in local time).
struct DayFigures {
    QString day;
    int sentences = 0;     // right answers
    int characters = 0;    // of the sentences answered right
    int seconds = 0;       // from unlock to the right answer, summed
    int firstTries = 0;    // rows whose first Enter fell on this day
    int firstTryRight = 0; // ... and were right at once

    double firstTryAccuracy() const { return firstTries ? double(firstTryRight) / firstTries : 0.0; }
};

struct MissedSentence {
    QString unit;
    QString section;
    QString sentence;
};

struct MissedWord {
    QString word;
    int count = 0; // rows on which it was missed
    QList<MissedSentence> sentences;
};

// The learner's study record, "Cfg/history.sqlite": every checked answer,
// appended as it happens. SQLite in write-ahead-log mode, so an answer once
// appended survives the program being killed. Dictora is its one writer;
// dictora-cli only reads it, which write-ahead logging allows while Dictora
// runs. A record that cannot be opened, is damaged or stays locked is moved
// aside into Backup/ and a new one begun; study never waits for it.
class StudyRecord {
public:
    enum class Mode { Write, Read };

    StudyRecord();
    ~StudyRecord();
    StudyRecord(const StudyRecord&) = delete;
    StudyRecord& operator=(const StudyRecord&) = delete;

    static QString recordPath(const ProgramFolder& folder);
    // "history (损坏 %Y%m%d_%H%M%S).sqlite" in Backup/.
    static QString setAsideFileName(TimeValue time);

    // Write: opens or creates the record; a damaged or locked one is set
    // aside first (notice() says so). False only when no record can be
    // written at all (error()); study goes on without it. Read: opens an
    // existing record read-only; a missing one reads as empty.
    bool open(const ProgramFolder& folder, Mode mode, TimeValue now);
    // Opens the file at path directly (tests, benchmarks).
    bool openFile(const QString& path, const QString& backupFolder, Mode mode, TimeValue now);
    void close();
    bool isOpen() const;

    // A message for the learner after open() set a record aside; else empty.
    QString notice() const { return notice_; }
    QString error() const { return error_; }
    QString setAsidePath() const { return setAsidePath_; }

    // Appends one answer in one transaction. False with error() on failure.
    bool append(const AnswerEntry& entry);
    // Appends many answers in one transaction (generated history, imports).
    bool appendAll(const QList<AnswerEntry>& entries);

    // Per-day figures for the days from firstDay to lastDay (day stamps),
    // days without answers left out, in day order.
    QList<DayFigures> dayFigures(const QString& firstDay, const QString& lastDay) const;
    // The most-missed words, most first, each with up to sentenceLimit of
    // the sentences it was missed in.
    QList<MissedWord> mostMissedWords(int limit, int sentenceLimit = 10) const;
    int answerCount() const;
    // Right answers that raised the level of (unit, sentence), per sentence.
    // The record agrees with a Unit's levels when nothing else moved them.
    QList<QPair<QString, int>> countedAnswers(const QString& unit) const;

    // Every answer as comma-separated values with a header line.
    QByteArray csv() const;

private:
    bool openAt(Mode mode);
    bool setAside(const QString& why, TimeValue now);
    bool exec(const QString& sql);

    QString connection_;
    QString path_;
    QString backupFolder_;
    QString notice_;
    QString error_;
    QString setAsidePath_;
};

} // namespace dictora
