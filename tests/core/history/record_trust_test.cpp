// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/study_record.h"

#include "core/study/study_fixtures.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace dictora;
using namespace dictora::test;

namespace {

const TimeValue kStart = at("20261201090000");
using Blocker = std::shared_ptr<void>; // blocks the record while it lives

// A long sentence needs pages of its own: a full disk refuses it.
AnswerEntry answer(int n, int padding = 0)
{
    AnswerEntry e;
    e.answeredAt = e.unlockedAt = kStart + n;
    e.sentence = QString(padding, u'x') + QString("Sentence %1").arg(n);
    e.verdict = n % 3 ? AnswerVerdict::Right : AnswerVerdict::Wrong;
    e.missedWords = n % 3 ? QStringList() : QStringList{"word"};
    return e;
}

// Another program's connection, holding the record's lock while it lives.
Blocker holdLock(const QString& path, bool exclusive)
{
    const QString name = "holder";
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
    db.setDatabaseName(path);
    EXPECT_TRUE(db.open());
    QSqlQuery hold(db);
    EXPECT_TRUE(exclusive
                    ? hold.exec("PRAGMA locking_mode=EXCLUSIVE") && hold.exec("BEGIN EXCLUSIVE") &&
                          hold.exec("SELECT count(*) FROM answers")
                    : hold.exec("BEGIN IMMEDIATE"));
    return Blocker(nullptr, [name](void*) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    });
}

// No more pages than the record has now, on the record's own connection.
Blocker fillDisk(const StudyRecord& record)
{
    QSqlDatabase db = QSqlDatabase::database(record.connectionName(), false);
    QSqlQuery count(db);
    EXPECT_TRUE(count.exec("PRAGMA page_count") && count.next());
    QSqlQuery(db).exec("PRAGMA max_page_count=" + count.value(0).toString());
    return Blocker(nullptr, [db](void*) { QSqlQuery(db).exec("PRAGMA max_page_count=100000"); });
}

// Overwrites with junk the page of a database file that pageQuery names.
bool spoilPage(const QString& path, const QString& pageQuery)
{
    qint64 page = 0, size = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "reader");
        db.setDatabaseName(path);
        QSqlQuery query(db.open() ? db : QSqlDatabase());
        if (query.exec("SELECT (" + pageQuery + "), page_size FROM pragma_page_size") &&
            query.next())
            std::tie(page, size) =
                std::pair(query.value(0).toLongLong(), query.value(1).toLongLong());
    }
    QSqlDatabase::removeDatabase("reader");
    QFile file(path);
    return page > 0 && file.open(QIODevice::ReadWrite) && file.seek((page - 1) * size) &&
           file.write(QByteArray(size, '\xA5')) == size;
}

class RecordTrust : public ::testing::Test {
protected:
    QTemporaryDir home;
    ProgramFolder folder{home.path() + "/"};
    QString path = StudyRecord::recordPath(folder);

    void SetUp() override { createDataFolders(folder); }
    // A closed record of n answers (its log folded into the file).
    void writeRecord(int n)
    {
        QFile::remove(path);
        StudyRecord record;
        QList<AnswerEntry> entries;
        for (int k = 0; k < n; ++k)
            entries.append(answer(k));
        ASSERT_TRUE(record.open(folder, StudyRecord::Mode::Write, kStart));
        ASSERT_TRUE(record.appendAll(entries)) << record.error().toStdString();
    }
};

TEST_F(RecordTrust, AnswersTheRecordCannotTakeWaitInOrderAndAllArrive)
{
    struct Case {
        const char* name;
        bool blockedBeforeOpen;
        std::function<Blocker(const StudyRecord&)> block;
        RecordFault fault;
    };
    const auto lock = [this](bool exclusive) {
        return [this, exclusive](const StudyRecord&) { return holdLock(path, exclusive); };
    };
    const Case cases[] = {
        {"another writer holds the write lock", false, lock(false), RecordFault::Busy},
        {"locked already when the program starts", true, lock(false), RecordFault::Busy},
        {"held exclusively when the program starts", true, lock(true), RecordFault::Busy},
        {"the disk is full", false, fillDisk, RecordFault::Full},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeRecord(34);
        StudyRecord record;
        Blocker blocked = c.blockedBeforeOpen ? c.block(record) : nullptr;
        // Locked is not damaged: the record stays where it is, whole.
        ASSERT_TRUE(record.open(folder, StudyRecord::Mode::Write, kStart));
        EXPECT_TRUE(record.notice().isEmpty());
        EXPECT_TRUE(record.setAsidePath().isEmpty());
        if (!c.blockedBeforeOpen)
            blocked = c.block(record);
        for (int k = 0; k < 5; ++k)
            EXPECT_FALSE(record.book(answer(100 + k, 5000), kStart + 100 + k));
        EXPECT_EQ(record.fault(), c.fault) << record.error().toStdString();
        EXPECT_EQ(record.waitingCount(), 5);
        EXPECT_FALSE(record.writeWaiting(kStart + 200));
        // What the end of a run on a full disk cannot keep is counted.
        EXPECT_EQ(c.fault == RecordFault::Full ? record.finish(kStart + 200) : 5, 5);

        blocked.reset();
        EXPECT_TRUE(record.writeWaiting(kStart + 300)) << record.error().toStdString();
        const QStringList lines = QString::fromUtf8(record.csv()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 1 + 39);
        for (int k = 0; k < 5; ++k)
            EXPECT_TRUE(lines[35 + k].contains(answer(100 + k).sentence)) << k;
    }
}

TEST_F(RecordTrust, ADamagedRecordIsSetAsideWithTheAnswersThatStillRead)
{
    struct Case {
        const char* name;
        const char* badPage; // the page to spoil; the first is the file's header
        int keptAtLeast;
        int keptAtMost;
    };
    const Case cases[] = {
        {"not a database", "SELECT 1", 0, 0},
        {"one bad index page", "SELECT rootpage FROM sqlite_master WHERE name = 'answers_by_day'",
         3000, 3000},
        {"one bad page of the answers themselves",
         "SELECT pageno FROM dbstat WHERE name = 'answers' AND pagetype = 'leaf'"
         " ORDER BY pageno LIMIT 1 OFFSET 10",
         2800, 2999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeRecord(3000);
        ASSERT_TRUE(spoilPage(path, c.badPage));

        StudyRecord record;
        ASSERT_TRUE(record.open(folder, StudyRecord::Mode::Write, kStart));
        EXPECT_TRUE(QFile::exists(record.setAsidePath()));
        const int kept = record.keptFromSetAside();
        EXPECT_GE(kept, c.keptAtLeast);
        EXPECT_LE(kept, c.keptAtMost);
        EXPECT_TRUE(record.notice().contains(QString(" %1 条回答").arg(kept)));
        EXPECT_TRUE(record.book(answer(5000), kStart + 5000));
        EXPECT_EQ(record.answerCount(), kept + 1);
    }
}

} // namespace
