// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/study_record.h"

#include "core/history/record_salvage.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

namespace dictora {

namespace {

constexpr int kSchemaVersion = 1;

// How long a reader (dictora-cli) waits for Dictora's checkpoint.
constexpr int kReadingWaitMs = 2000;

const QStringList kSchema{
    QStringLiteral("CREATE TABLE IF NOT EXISTS answers("
                   "id INTEGER PRIMARY KEY, answered_at INTEGER NOT NULL, day INTEGER NOT NULL,"
                   "unlocked_at INTEGER NOT NULL, unit TEXT NOT NULL, section TEXT NOT NULL,"
                   "sentence TEXT NOT NULL, verdict INTEGER NOT NULL, counted INTEGER NOT NULL,"
                   "tries INTEGER NOT NULL, hints INTEGER NOT NULL, revealed INTEGER NOT NULL,"
                   "seconds INTEGER NOT NULL, characters INTEGER NOT NULL, missed TEXT NOT NULL)"),
    QStringLiteral("CREATE TABLE IF NOT EXISTS missed_words("
                   "answer_id INTEGER NOT NULL REFERENCES answers(id), word TEXT NOT NULL)"),
    // Covering index: the per-day figures are read from it alone.
    QStringLiteral("CREATE INDEX IF NOT EXISTS answers_by_day ON answers"
                   "(day, verdict, tries, characters, seconds)"),
    QStringLiteral("CREATE INDEX IF NOT EXISTS missed_by_word ON missed_words(word, answer_id)"),
};

QString uniqueConnectionName()
{
    static std::atomic<int> next{0};
    return QStringLiteral("dictora-record-%1").arg(next++);
}

QString csvField(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

// A null QString binds as SQL NULL; the record keeps empty text instead.
QString text(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

const char* verdictName(int verdict)
{
    switch (verdict) {
    case int(AnswerVerdict::Right):
        return "right";
    case int(AnswerVerdict::AnswerAgain):
        return "again";
    default:
        return "wrong";
    }
}

} // namespace

StudyRecord::StudyRecord() : connection_(uniqueConnectionName()) {}

StudyRecord::~StudyRecord()
{
    close();
}

QString StudyRecord::recordPath(const ProgramFolder& folder)
{
    return folder.cfgFolder() + QStringLiteral("history.sqlite");
}

QString StudyRecord::setAsideFileName(TimeValue time)
{
    QString stamp = FormatStamp(time);
    stamp.insert(8, u'_');
    return QStringLiteral("history (损坏 ") + stamp + QStringLiteral(").sqlite");
}

bool StudyRecord::open(const ProgramFolder& folder, Mode mode, TimeValue now)
{
    return openFile(recordPath(folder), folder.backupFolder(), mode, now);
}

bool StudyRecord::isOpen() const
{
    return QSqlDatabase::contains(connection_) &&
           QSqlDatabase::database(connection_, false).isOpen();
}

void StudyRecord::close()
{
    if (!QSqlDatabase::contains(connection_))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

bool StudyRecord::fail(const QSqlError& error)
{
    error_ = error.text();
    fault_ = recordFaultOf(error);
    return false;
}

bool StudyRecord::exec(const QString& sql)
{
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (query.exec(sql))
        return true;
    return fail(query.lastError());
}

bool StudyRecord::openAt(Mode mode)
{
    close();
    fault_ = RecordFault::None;
    const int waitMs = mode == Mode::Read ? kReadingWaitMs : busyWaitMs_;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path_);
    db.setConnectOptions(
        (mode == Mode::Read ? QStringLiteral("QSQLITE_OPEN_READONLY;") : QString()) +
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(waitMs));
    if (!db.open())
        return fail(db.lastError());
    if (mode == Mode::Read)
        return exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));

    // A file that is not SQLite at all fails the first statement that reads it.
    QSqlQuery journal(db);
    if (!journal.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !journal.next())
        return fail(journal.lastError());
    if (journal.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
        // Another connection in exclusive locking mode keeps the log from
        // being taken up: a lock, not damage.
        error_ = QStringLiteral("write-ahead log refused (%1)").arg(journal.value(0).toString());
        fault_ = RecordFault::Busy;
        return false;
    }
    journal.finish();
    // In WAL mode NORMAL loses nothing when the program dies, only when the
    // machine does: a commit is in the log before append() returns.
    if (!exec(QStringLiteral("PRAGMA synchronous=NORMAL")) ||
        !exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(waitMs)))
        return false;
    QSqlQuery check(db);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next())
        return fail(check.lastError());
    if (check.value(0).toString() != QLatin1String("ok")) {
        // The first fault found names the damage; the rest only repeat it.
        const QStringList found = check.value(0).toString().split(u'\n', Qt::SkipEmptyParts);
        error_ = found.size() > 1 && found.first().startsWith(QLatin1String("***"))
                     ? found.at(1)
                     : found.value(0);
        fault_ = RecordFault::Damaged;
        return false;
    }
    check.finish();
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next())
        return fail(version.lastError());
    // A record of this version has its tables (they are made in the one
    // transaction that sets it): opening it writes nothing, so another
    // program's lock does not keep it shut.
    if (version.value(0).toInt() == kSchemaVersion)
        return true;
    version.finish();
    return createSchema();
}

bool StudyRecord::createSchema()
{
    if (!exec(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    for (const QString& sql : kSchema) {
        if (!exec(sql)) {
            QSqlQuery(QSqlDatabase::database(connection_, false)).exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    if (!exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion)) ||
        !exec(QStringLiteral("COMMIT"))) {
        QSqlQuery(QSqlDatabase::database(connection_, false)).exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

bool StudyRecord::openFile(const QString& path, const QString& backupFolder, Mode mode,
                           TimeValue now)
{
    close();
    path_ = path;
    backupFolder_ = backupFolder;
    mode_ = mode;
    givenUp_ = false;
    notice_.clear();
    error_.clear();
    setAsidePath_.clear();
    keptFromSetAside_ = 0;
    if (mode == Mode::Read) {
        if (!QFileInfo::exists(path))
            return true; // nothing studied yet: every query reads empty
        if (openAt(mode))
            return true;
        close();
        error_ = QStringLiteral("the study record %1 cannot be read: %2")
                     .arg(QDir::toNativeSeparators(path), error_);
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (openWritable(now))
        return true;
    givenUp_ = true;
    return false;
}

bool StudyRecord::openWritable(TimeValue now)
{
    if (openAt(Mode::Write))
        return true;
    close();
    // Locked, full or not writable now: the record stays as it is, and the
    // next booking tries it again.
    if (fault_ != RecordFault::Damaged)
        return true;
    if (!setAside(error_, now))
        return false;
    error_.clear();
    if (!openAt(Mode::Write)) {
        close();
        if (fault_ != RecordFault::Damaged)
            return true;
        error_ = QStringLiteral("学习记录无法建立 (%1): %2, 本次学习不作记录")
                     .arg(QDir::toNativeSeparators(path_), error_);
        return false;
    }
    salvage();
    return true;
}

void StudyRecord::salvage()
{
    const QList<AnswerEntry> readable = readableAnswers(setAsidePath_);
    keptFromSetAside_ = int(readable.size());
    // Kept in front of what is booked next; written now if the new record
    // can take them, else with the next booking.
    waiting_ = readable + waiting_;
    if (!waiting_.isEmpty() && appendAll(waiting_))
        waiting_.clear();
    notice_ +=
        QStringLiteral("; 其中 %1 条回答仍可读出, 已抄入新的学习记录").arg(keptFromSetAside_);
}

bool StudyRecord::setAside(const QString& why, TimeValue now)
{
    if (!QFileInfo::exists(path_)) {
        error_ = QStringLiteral("学习记录无法建立 (%1): %2, 本次学习不作记录")
                     .arg(QDir::toNativeSeparators(path_), why);
        return false;
    }
    QDir().mkpath(backupFolder_);
    QString target = QDir(backupFolder_).filePath(setAsideFileName(now));
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = QDir(backupFolder_)
                     .filePath(setAsideFileName(now).replace(QStringLiteral(").sqlite"),
                                                             QStringLiteral(" %1).sqlite").arg(n)));
    // The log and its index go with the file: without them its last answers
    // would be lost, and left behind they would be read into the new record.
    if (!QFile::rename(path_, target)) {
        error_ = QStringLiteral("学习记录 %1 无法使用 (%2), 也无法移到 %3; 本次学习不作记录")
                     .arg(QDir::toNativeSeparators(path_), why, QDir::toNativeSeparators(target));
        return false;
    }
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString side = path_ + QLatin1String(suffix);
        if (QFileInfo::exists(side) && !QFile::rename(side, target + QLatin1String(suffix)))
            QFile::remove(side);
    }
    setAsidePath_ = target;
    notice_ = QStringLiteral("学习记录 %1 已损坏 (%2), 已移到 %3; 新的学习记录已开始")
                  .arg(QDir::toNativeSeparators(path_), why, QDir::toNativeSeparators(target));
    return true;
}

bool StudyRecord::book(const AnswerEntry& entry, TimeValue now)
{
    waiting_.append(entry);
    return writeWaiting(now);
}

bool StudyRecord::writeWaiting(TimeValue now)
{
    if (waiting_.isEmpty())
        return true;
    if (!takesAnswers()) {
        error_ = QStringLiteral("the study record is not open");
        return false;
    }
    if (!isOpen()) {
        if (!openWritable(now)) {
            givenUp_ = true;
            return false;
        }
        if (!isOpen())
            return false;
        if (waiting_.isEmpty())
            return true; // written with what was salvaged
    }
    if (appendAll(waiting_)) {
        waiting_.clear();
        return true;
    }
    // Damage found while writing: the next try opens the record afresh,
    // which sets it aside.
    if (fault_ == RecordFault::Damaged)
        close();
    return false;
}

qsizetype StudyRecord::finish(TimeValue now)
{
    busyWaitMs_ = kClosingWaitMs;
    if (isOpen())
        exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(busyWaitMs_));
    writeWaiting(now);
    busyWaitMs_ = kBookingWaitMs;
    if (isOpen())
        exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(busyWaitMs_));
    return waiting_.size();
}

bool StudyRecord::append(const AnswerEntry& entry)
{
    return appendAll({entry});
}

bool StudyRecord::appendAll(const QList<AnswerEntry>& entries)
{
    if (!isOpen()) {
        error_ = QStringLiteral("the study record is not open");
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    // IMMEDIATE: the write lock is asked for here, so a lock held elsewhere
    // is met before anything is written.
    if (!exec(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    const auto rollBack = [&db] { QSqlQuery(db).exec(QStringLiteral("ROLLBACK")); };
    QSqlQuery answer(db);
    QSqlQuery missed(db);
    const bool prepared =
        answer.prepare(QStringLiteral(
            "INSERT INTO answers(answered_at, day, unlocked_at, unit, section, sentence, verdict,"
            " counted, tries, hints, revealed, seconds, characters, missed)"
            " VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)")) &&
        missed.prepare(QStringLiteral("INSERT INTO missed_words(answer_id, word) VALUES(?,?)"));
    if (!prepared) {
        fail(answer.lastError().isValid() ? answer.lastError() : missed.lastError());
        rollBack();
        return false;
    }
    for (const AnswerEntry& e : entries) {
        answer.addBindValue(qint64(e.answeredAt));
        answer.addBindValue(FormatDayStamp(e.answeredAt).toInt());
        answer.addBindValue(qint64(e.unlockedAt));
        answer.addBindValue(text(e.unit));
        answer.addBindValue(text(e.section));
        answer.addBindValue(text(e.sentence));
        answer.addBindValue(int(e.verdict));
        answer.addBindValue(e.counted ? 1 : 0);
        answer.addBindValue(e.tries);
        answer.addBindValue(e.hints);
        answer.addBindValue(e.revealed ? 1 : 0);
        answer.addBindValue(e.seconds);
        answer.addBindValue(e.characters);
        answer.addBindValue(text(e.missedWords.join(u' ')));
        if (!answer.exec()) {
            fail(answer.lastError());
            rollBack();
            return false;
        }
        const QVariant id = answer.lastInsertId();
        for (const QString& word : e.missedWords) {
            missed.addBindValue(id);
            missed.addBindValue(text(word));
            if (!missed.exec()) {
                fail(missed.lastError());
                rollBack();
                return false;
            }
        }
    }
    answer.finish();
    missed.finish();
    if (!exec(QStringLiteral("COMMIT"))) {
        rollBack();
        return false;
    }
    return true;
}

QList<DayFigures> StudyRecord::dayFigures(const QString& firstDay, const QString& lastDay) const
{
    QList<DayFigures> days;
    if (!isOpen())
        return days;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT day, sum(verdict = 1), sum(CASE WHEN verdict = 1 THEN characters ELSE 0 END),"
        " sum(CASE WHEN verdict = 1 THEN seconds ELSE 0 END), sum(tries = 1),"
        " sum(tries = 1 AND verdict = 1) FROM answers WHERE day BETWEEN ? AND ?"
        " GROUP BY day ORDER BY day"));
    query.addBindValue(firstDay.toInt());
    query.addBindValue(lastDay.toInt());
    if (!query.exec())
        return days;
    while (query.next())
        days.append({query.value(0).toString(), query.value(1).toInt(), query.value(2).toInt(),
                     query.value(3).toInt(), query.value(4).toInt(), query.value(5).toInt()});
    return days;
}

QList<MissedWord> StudyRecord::mostMissedWords(int limit, int sentenceLimit) const
{
    QList<MissedWord> words;
    if (!isOpen())
        return words;
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT word, count(*) AS n FROM missed_words GROUP BY word"
                                 " ORDER BY n DESC, word LIMIT ?"));
    query.addBindValue(limit);
    if (!query.exec())
        return words;
    while (query.next())
        words.append({query.value(0).toString(), query.value(1).toInt(), {}});

    QSqlQuery from(db);
    from.setForwardOnly(true);
    from.prepare(QStringLiteral("SELECT DISTINCT a.unit, a.section, a.sentence FROM missed_words m"
                                " JOIN answers a ON a.id = m.answer_id WHERE m.word = ?"
                                " ORDER BY a.unit, a.sentence LIMIT ?"));
    for (MissedWord& word : words) {
        from.addBindValue(word.word);
        from.addBindValue(sentenceLimit);
        if (!from.exec())
            continue;
        while (from.next())
            word.sentences.append(
                {from.value(0).toString(), from.value(1).toString(), from.value(2).toString()});
    }
    return words;
}

int StudyRecord::answerCount() const
{
    if (!isOpen())
        return 0;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.exec(QStringLiteral("SELECT count(*) FROM answers")) || !query.next())
        return 0;
    return query.value(0).toInt();
}

QList<QPair<QString, int>> StudyRecord::countedAnswers(const QString& unit) const
{
    QList<QPair<QString, int>> counts;
    if (!isOpen())
        return counts;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(QStringLiteral("SELECT sentence, sum(counted) FROM answers WHERE unit = ?"
                                 " GROUP BY sentence ORDER BY sentence"));
    query.addBindValue(unit);
    if (!query.exec())
        return counts;
    while (query.next())
        counts.append({query.value(0).toString(), query.value(1).toInt()});
    return counts;
}

QByteArray StudyRecord::csv() const
{
    QString out = QStringLiteral("time,unit,section,sentence,verdict,counted,tries,hints,revealed,"
                                 "seconds,characters,missed words\n");
    if (!isOpen())
        return out.toUtf8();
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT answered_at, unit, section, sentence, verdict, counted, tries, hints, revealed,"
            " seconds, characters, missed FROM answers ORDER BY id")))
        return out.toUtf8();
    while (query.next()) {
        const QString time = QDateTime::fromSecsSinceEpoch(query.value(0).toLongLong())
                                 .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        out += time + u',' + csvField(query.value(1).toString()) + u',' +
               csvField(query.value(2).toString()) + u',' + csvField(query.value(3).toString()) +
               u',' + QLatin1String(verdictName(query.value(4).toInt()));
        for (int k = 5; k <= 10; ++k)
            out += u',' + query.value(k).toString();
        out += u',' + csvField(query.value(11).toString()) + u'\n';
    }
    return out.toUtf8();
}

} // namespace dictora
