// SPDX-License-Identifier: GPL-3.0-or-later
// How long one Enter in Dictation waits on the study record: booking an
// answer into a free record, into one whose write lock another connection
// holds, and into one on a full disk (target: the longest wait under 20 ms).
// Reports the longest single booking (max_ms) and how many of the answers
// booked were in the record once it could take them again (kept/booked).
#include "core/history/study_record.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace dictora;

namespace {

enum Blocked { Free = 0, Locked = 1, FullDisk = 2 };

AnswerEntry answerNumber(int n)
{
    AnswerEntry e;
    e.answeredAt = QDateTime::currentSecsSinceEpoch();
    e.unlockedAt = e.answeredAt - 20;
    e.unit = QStringLiteral("Lesson");
    e.section = QStringLiteral("One");
    // Long enough that every answer needs a page of its own on a full disk.
    e.sentence = QString(5000, u'x') + QString::number(n);
    e.verdict = AnswerVerdict::Right;
    e.characters = int(e.sentence.size());
    return e;
}

void BookOneAnswer(benchmark::State& state)
{
    const auto blocked = Blocked(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    StudyRecord record;
    record.openFile(path, dir.filePath(QStringLiteral("Backup")), StudyRecord::Mode::Write, 0);
    const int before = record.answerCount();

    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("o"));
    other.setDatabaseName(path);
    other.open();
    QSqlDatabase own = QSqlDatabase::database(record.connectionName(), false);
    if (blocked == Locked)
        QSqlQuery(other).exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (blocked == FullDisk) {
        QSqlQuery count(own);
        count.exec(QStringLiteral("PRAGMA page_count"));
        count.next();
        QSqlQuery(own).exec(QStringLiteral("PRAGMA max_page_count=%1").arg(count.value(0).toInt()));
    }

    double longestMs = 0;
    int booked = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        benchmark::DoNotOptimize(record.book(answerNumber(booked++), 0));
        longestMs = std::max(longestMs, double(timer.nsecsElapsed()) / 1e6);
    }

    QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
    other.close();
    QSqlQuery(own).exec(QStringLiteral("PRAGMA max_page_count=1000000000"));
    record.writeWaiting(0);
    state.counters["max_ms"] = longestMs;
    state.counters["booked"] = booked;
    state.counters["kept"] = record.answerCount() - before;
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("o"));
}

} // namespace

BENCHMARK(BookOneAnswer)
    ->ArgName("free0_locked1_full2")
    ->Arg(Free)
    ->Arg(Locked)
    ->Arg(FullDisk)
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
