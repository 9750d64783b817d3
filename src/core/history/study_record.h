// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/history/record_fault.h"
#include "core/study/program_folder.h"
#include "core/study/stamp.h"

#include <QList>
#include <QString>
#include <QStringList>

class QSqlError;

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
    bool counted = false;    // the answer raised the row's level
    int tries = 1;           // this was the n-th Enter on the row
    int hints = 0;           // hint level when the answer was checked
    bool revealed = false;   // the sentence had been shown
    int seconds = 0;         // from unlock to this answer
    int characters = 0;      // of the sentence
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

    double firstTryAccuracy() const
    {
        return firstTries ? double(firstTryRight) / firstTries : 0.0;
    }
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
// written survives the program being killed. Dictora is its one writer;
// dictora-cli only reads it, which write-ahead logging allows while Dictora
// runs.
//
// Answers are booked, never dropped: a booked answer waits in memory, in
// order, until the record can take it. A lock held by another program, a
// full disk or a folder that cannot be written is waited out (the caller
// retries with writeWaiting()); a booking waits at most kBookingWaitMs for a
// lock, so the study screen never stalls on the record. Only a file SQLite
// finds corrupt, or that is no database, is moved aside into Backup/; the
// answers that still read are copied into the new record.
class StudyRecord {
public:
    enum class Mode { Write, Read };

    // How long a booking waits for a lock held elsewhere.
    static constexpr int kBookingWaitMs = 3;
    // How long the last try before the program ends waits for it.
    static constexpr int kClosingWaitMs = 2000;

    StudyRecord();
    ~StudyRecord();
    StudyRecord(const StudyRecord&) = delete;
    StudyRecord& operator=(const StudyRecord&) = delete;

    static QString recordPath(const ProgramFolder& folder);
    // "history (损坏 %Y%m%d_%H%M%S).sqlite" in Backup/.
    static QString setAsideFileName(TimeValue time);

    // Write: opens or creates the record; a damaged one is set aside first
    // (notice() says so and how many answers were kept). A record that
    // cannot be opened now is left as it is and tried again at the next
    // booking: the call still succeeds, takesAnswers() is true, error() says
    // why. False only when a damaged record cannot be set aside (error());
    // study goes on without it. Read: opens an existing record read-only; a
    // missing one reads as empty.
    bool open(const ProgramFolder& folder, Mode mode, TimeValue now);
    // Opens the file at path directly (tests, benchmarks).
    bool openFile(const QString& path, const QString& backupFolder, Mode mode, TimeValue now);
    void close();
    bool isOpen() const;
    // Opened for writing, or waiting to be: answers can be booked.
    bool takesAnswers() const { return mode_ == Mode::Write && !givenUp_; }

    // A message for the learner after open() set a record aside; else empty.
    QString notice() const { return notice_; }
    QString error() const { return error_; }
    // What the last failure calls for.
    RecordFault fault() const { return fault_; }
    QString setAsidePath() const { return setAsidePath_; }
    // Answers read from the record set aside and copied into the new one.
    int keptFromSetAside() const { return keptFromSetAside_; }

    // Books one answer: it joins the answers waiting, and all of them are
    // written in one transaction if the record can take them now. False
    // when they are left waiting (error() says why).
    bool book(const AnswerEntry& entry, TimeValue now);
    // Writes the answers waiting, opening the record first if it could not
    // be opened before. True when none is left waiting.
    bool writeWaiting(TimeValue now);
    qsizetype waitingCount() const { return waiting_.size(); }
    // The last try before the program ends, with a longer wait for a lock;
    // returns how many answers could not be kept.
    qsizetype finish(TimeValue now);

    // Appends one answer in one transaction. False with error() on failure.
    bool append(const AnswerEntry& entry);
    // Appends many answers in one transaction (generated history, imports).
    bool appendAll(const QList<AnswerEntry>& entries);

    // The connection's name in QSqlDatabase, for tests and benchmarks that
    // set a pragma of their own on it.
    QString connectionName() const { return connection_; }

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
    bool openWritable(TimeValue now);
    bool createSchema();
    bool setAside(const QString& why, TimeValue now);
    void salvage();
    bool exec(const QString& sql);
    bool fail(const QSqlError& error);

    QString connection_;
    Mode mode_ = Mode::Read;
    bool givenUp_ = false;
    int busyWaitMs_ = kBookingWaitMs;
    RecordFault fault_ = RecordFault::None;
    QList<AnswerEntry> waiting_;
    int keptFromSetAside_ = 0;
    QString path_;
    QString backupFolder_;
    QString notice_;
    QString error_;
    QString setAsidePath_;
};

} // namespace dictora
