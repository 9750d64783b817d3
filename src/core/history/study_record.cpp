// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/study_record.h"

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

// How long an append waits for a reader's checkpoint before it gives up.
constexpr int kBusyTimeoutMs = 2000;

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
    return QSqlDatabase::contains(connection_) && QSqlDatabase::database(connection_, false).isOpen();
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

bool StudyRecord::exec(const QString& sql)
{
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (query.exec(sql))
        return true;
    error_ = query.lastError().text();
    return false;
}

bool StudyRecord::openAt(Mode mode)
{
    close();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path_);
    db.setConnectOptions(mode == Mode::Read ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000")
                                            : QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.open()) {
        error_ = db.lastError().text();
        return false;
    }
    if (mode == Mode::Read)
        return exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));

    // A file that is not SQLite at all fails the first statement that reads it.
    QSqlQuery journal(db);
    if (!journal.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !journal.next()) {
        error_ = journal.lastError().text();
        return false;
    }
    if (journal.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
        error_ = QStringLiteral("write-ahead log refused (%1)").arg(journal.value(0).toString());
        return false;
    }
    journal.finish();
    // In WAL mode NORMAL loses nothing when the program dies, only when the
    // machine does: a commit is in the log before append() returns.
    if (!exec(QStringLiteral("PRAGMA synchronous=NORMAL")) ||
        !exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(kBusyTimeoutMs)))
        return false;
    QSqlQuery check(db);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next()) {
        error_ = check.lastError().text();
        return false;
    }
    if (check.value(0).toString() != QLatin1String("ok")) {
        error_ = check.value(0).toString();
        return false;
    }
    check.finish();
    if (!db.transaction()) {
        error_ = db.lastError().text();
        return false;
    }
    for (const QString& sql : kSchema) {
        if (!exec(sql)) {
            db.rollback();
            return false;
        }
    }
    if (!exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion)) || !db.commit()) {
        if (error_.isEmpty())
            error_ = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

bool StudyRecord::openFile(const QString& path, const QString& backupFolder, Mode mode,
                           TimeValue now)
{
    path_ = path;
    backupFolder_ = backupFolder;
    notice_.clear();
    error_.clear();
    setAsidePath_.clear();
    if (mode == Mode::Read) {
        if (!QFileInfo::exists(path)) {
            close();
            return true; // nothing studied yet: every query reads empty
        }
        if (openAt(mode))
            return true;
        close();
        error_ = QStringLiteral("the study record %1 cannot be read: %2")
                     .arg(QDir::toNativeSeparators(path), error_);
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (openAt(mode))
        return true;
    const QString why = error_;
    close();
    if (!setAside(why, now))
        return false;
    error_.clear();
    if (openAt(mode))
        return true;
    close();
    error_ = QStringLiteral("学习记录无法建立 (%1): %2, 本次学习不作记录")
                 .arg(QDir::toNativeSeparators(path), error_);
    return false;
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
        target = QDir(backupFolder_).filePath(setAsideFileName(now).replace(
            QStringLiteral(").sqlite"), QStringLiteral(" %1).sqlite").arg(n)));
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
    notice_ = QStringLiteral("学习记录 %1 无法使用 (%2), 已移到 %3; 新的学习记录已开始")
                  .arg(QDir::toNativeSeparators(path_), why, QDir::toNativeSeparators(target));
    return true;
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
    if (!db.transaction()) {
        error_ = db.lastError().text();
        return false;
    }
    QSqlQuery answer(db);
    QSqlQuery missed(db);
    const bool prepared =
        answer.prepare(QStringLiteral(
            "INSERT INTO answers(answered_at, day, unlocked_at, unit, section, sentence, verdict,"
            " counted, tries, hints, revealed, seconds, characters, missed)"
            " VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)")) &&
        missed.prepare(QStringLiteral("INSERT INTO missed_words(answer_id, word) VALUES(?,?)"));
    if (!prepared) {
        error_ = answer.lastError().isValid() ? answer.lastError().text() : missed.lastError().text();
        db.rollback();
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
            error_ = answer.lastError().text();
            db.rollback();
            return false;
        }
        const QVariant id = answer.lastInsertId();
        for (const QString& word : e.missedWords) {
            missed.addBindValue(id);
            missed.addBindValue(text(word));
            if (!missed.exec()) {
                error_ = missed.lastError().text();
                db.rollback();
                return false;
            }
        }
    }
    if (!db.commit()) {
        error_ = db.lastError().text();
        db.rollback();
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
