// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/record_salvage.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

namespace dictora {

namespace {

// Steps over a page that does not read: one row, then twice as many each
// time, so a bad leaf of any size is passed in a few dozen tries, and a bad
// root ends the reading after as many.
constexpr int kMaxSkips = 48;

QString salvageConnectionName()
{
    static std::atomic<int> next{0};
    return QStringLiteral("dictora-salvage-%1").arg(next++);
}

AnswerEntry entryOf(const QSqlQuery& row)
{
    AnswerEntry e;
    e.answeredAt = row.value(1).toLongLong();
    e.unlockedAt = row.value(2).toLongLong();
    e.unit = row.value(3).toString();
    e.section = row.value(4).toString();
    e.sentence = row.value(5).toString();
    const int verdict = row.value(6).toInt();
    e.verdict = verdict == int(AnswerVerdict::Right)         ? AnswerVerdict::Right
                : verdict == int(AnswerVerdict::AnswerAgain) ? AnswerVerdict::AnswerAgain
                                                             : AnswerVerdict::Wrong;
    e.counted = row.value(7).toInt() != 0;
    e.tries = row.value(8).toInt();
    e.hints = row.value(9).toInt();
    e.revealed = row.value(10).toInt() != 0;
    e.seconds = row.value(11).toInt();
    e.characters = row.value(12).toInt();
    // The missed words are kept with the answer as well as in their own
    // table; the answer's copy is the one read here.
    e.missedWords = row.value(13).toString().split(u' ', Qt::SkipEmptyParts);
    return e;
}

QList<AnswerEntry> readRows(const QSqlDatabase& db)
{
    QList<AnswerEntry> answers;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // NOT INDEXED: a damaged index must not stand between the rows and us;
    // the row number still finds its place in the table itself.
    if (!query.prepare(QStringLiteral(
            "SELECT id, answered_at, unlocked_at, unit, section, sentence, verdict, counted,"
            " tries, hints, revealed, seconds, characters, missed FROM answers NOT INDEXED"
            " WHERE id > ? ORDER BY id")))
        return answers;
    qint64 after = -1;
    qint64 skip = 1;
    for (int skips = 0; skips <= kMaxSkips;) {
        query.addBindValue(after);
        if (!query.exec()) {
            after += skip;
            skip *= 2;
            ++skips;
            continue;
        }
        bool read = false;
        while (query.next()) {
            answers.append(entryOf(query));
            after = query.value(0).toLongLong();
            read = true;
        }
        const bool failed = query.lastError().isValid();
        query.finish();
        if (!failed)
            break; // the end of the table
        if (read) {
            skip = 1;
            skips = 0;
        }
        after += skip;
        skip *= 2;
        ++skips;
    }
    return answers;
}

} // namespace

QList<AnswerEntry> readableAnswers(const QString& path)
{
    const QString name = salvageConnectionName();
    QList<AnswerEntry> answers;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open())
            answers = readRows(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return answers;
}

} // namespace dictora
