// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/package_collection.h"

#include "core/export/anki_note_type.h"
#include "core/export/flashcard_identity.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace dictora {

namespace {

// The layout of schema version 11, which every version of the flashcard
// program and its phone apps can import (later versions convert it).
const char* const kSchema[] = {
    "CREATE TABLE col (id integer primary key, crt integer not null, mod integer not null, "
    "scm integer not null, ver integer not null, dty integer not null, usn integer not null, "
    "ls integer not null, conf text not null, models text not null, decks text not null, "
    "dconf text not null, tags text not null)",
    "CREATE TABLE notes (id integer primary key, guid text not null, mid integer not null, "
    "mod integer not null, usn integer not null, tags text not null, flds text not null, "
    "sfld integer not null, csum integer not null, flags integer not null, data text not null)",
    "CREATE TABLE cards (id integer primary key, nid integer not null, did integer not null, "
    "ord integer not null, mod integer not null, usn integer not null, type integer not null, "
    "queue integer not null, due integer not null, ivl integer not null, factor integer not null, "
    "reps integer not null, lapses integer not null, left integer not null, odue integer not null, "
    "odid integer not null, flags integer not null, data text not null)",
    "CREATE TABLE revlog (id integer primary key, cid integer not null, usn integer not null, "
    "ease integer not null, ivl integer not null, lastIvl integer not null, factor integer not "
    "null, "
    "time integer not null, type integer not null)",
    "CREATE TABLE graves (usn integer not null, oid integer not null, type integer not null)",
    "CREATE INDEX ix_notes_usn on notes (usn)",
    "CREATE INDEX ix_cards_usn on cards (usn)",
    "CREATE INDEX ix_revlog_usn on revlog (usn)",
    "CREATE INDEX ix_cards_nid on cards (nid)",
    "CREATE INDEX ix_cards_sched on cards (did, queue, due)",
    "CREATE INDEX ix_revlog_cid on revlog (cid)",
    "CREATE INDEX ix_notes_csum on notes (csum)",
};
constexpr int kSchemaVersion = 11;
constexpr qint64 kDefaultDeckId = 1;
constexpr qint64 kDefaultOptionsId = 1;

QString compact(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QJsonObject deck(qint64 id, const QString& name, qint64 nowSecs)
{
    const QJsonArray none{0, 0};
    return {{"id", id},
            {"name", name},
            {"desc", ""},
            {"conf", kDefaultOptionsId},
            {"dyn", 0},
            {"collapsed", false},
            {"browserCollapsed", false},
            {"extendNew", 10},
            {"extendRev", 50},
            {"mod", nowSecs},
            {"usn", -1},
            {"newToday", none},
            {"revToday", none},
            {"lrnToday", none},
            {"timeToday", none}};
}

// The program's own default options, for versions that want the group a
// deck names to be in the package.
QJsonObject defaultOptions()
{
    return {{"id", kDefaultOptionsId},
            {"name", "Default"},
            {"mod", 0},
            {"usn", 0},
            {"dyn", false},
            {"maxTaken", 60},
            {"timer", 0},
            {"autoplay", true},
            {"replayq", true},
            {"new", QJsonObject{{"delays", QJsonArray{1, 10}},
                                {"ints", QJsonArray{1, 4, 7}},
                                {"initialFactor", 2500},
                                {"order", 1},
                                {"perDay", 20},
                                {"bury", false},
                                {"separate", true}}},
            {"rev", QJsonObject{{"perDay", 200},
                                {"ease4", 1.3},
                                {"fuzz", 0.05},
                                {"ivlFct", 1},
                                {"maxIvl", 36500},
                                {"minSpace", 1},
                                {"bury", false}}},
            {"lapse", QJsonObject{{"delays", QJsonArray{10}},
                                  {"leechAction", 0},
                                  {"leechFails", 8},
                                  {"minInt", 1},
                                  {"mult", 0}}}};
}

QString unitField(const QString& unitName, const QString& section)
{
    const QString shown = section.trimmed().isEmpty() || section.trimmed() == unitName
                              ? unitName
                              : unitName + QStringLiteral(" · ") + section.trimmed();
    return htmlFieldText(shown);
}

QString hintField(const QString& text2)
{
    QStringList lines = text2.trimmed().split(u'\n');
    for (QString& line : lines)
        line = htmlFieldText(line.trimmed());
    return lines.join(QStringLiteral("<br>"));
}

class CollectionWriter {
public:
    CollectionWriter(QSqlDatabase& db, QString* error) : db_(db), error_(error) {}

    bool exec(const QString& statement)
    {
        QSqlQuery query(db_);
        return check(query, query.exec(statement));
    }
    bool check(const QSqlQuery& query, bool ok)
    {
        if (!ok && error_->isEmpty())
            *error_ = query.lastError().text();
        return ok;
    }

private:
    QSqlDatabase& db_;
    QString* error_;
};

bool fill(QSqlDatabase& db, const FlashcardExport& plan, const PackageCards& cards, qint64 nowMs,
          QString* error)
{
    CollectionWriter writer(db, error);
    for (const char* statement : kSchema)
        if (!writer.exec(QString::fromLatin1(statement)))
            return false;
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }

    const qint64 nowSecs = nowMs / 1000;
    const QString deckName = packageDeckName(plan.unitName);
    const qint64 deckId = stableId(QStringLiteral("deck:") + deckName);
    const QJsonObject conf{{"activeDecks", QJsonArray{kDefaultDeckId}},
                           {"curDeck", kDefaultDeckId},
                           {"newSpread", 0},
                           {"collapseTime", 1200},
                           {"timeLim", 0},
                           {"estTimes", true},
                           {"dueCounts", true},
                           {"curModel", QString::number(kDictoraNoteTypeId)},
                           {"nextPos", int(plan.items.size()) + 1},
                           {"sortType", "noteFld"},
                           {"sortBackwards", false},
                           {"addToCur", true}};
    QSqlQuery col(db);
    col.prepare(
        QStringLiteral("INSERT INTO col VALUES (1, ?, ?, ?, ?, 0, 0, 0, ?, ?, ?, ?, '{}')"));
    col.addBindValue(nowSecs - nowSecs % 86400);
    col.addBindValue(nowMs);
    col.addBindValue(nowMs);
    col.addBindValue(kSchemaVersion);
    col.addBindValue(compact(conf));
    col.addBindValue(compact({{QString::number(kDictoraNoteTypeId), dictoraNoteType(deckId)}}));
    col.addBindValue(
        compact({{QString::number(kDefaultDeckId), deck(kDefaultDeckId, "Default", nowSecs)},
                 {QString::number(deckId), deck(deckId, deckName, nowSecs)}}));
    col.addBindValue(compact({{QString::number(kDefaultOptionsId), defaultOptions()}}));
    if (!writer.check(col, col.exec()))
        return false;

    QSqlQuery note(db);
    note.prepare(QStringLiteral("INSERT INTO notes VALUES (?, ?, ?, ?, -1, ?, ?, ?, ?, 0, '')"));
    QSqlQuery card(db);
    card.prepare(QStringLiteral(
        "INSERT INTO cards VALUES (?, ?, ?, ?, ?, -1, 0, 0, ?, 0, 0, 0, 0, 0, 0, 0, 0, '')"));
    QList<int> ords;
    if (cards.dictation)
        ords << int(CardTemplate::Dictation);
    if (cards.recall)
        ords << int(CardTemplate::Recall);
    for (qsizetype k = 0; k < plan.items.size(); ++k) {
        const FlashcardItem& item = plan.items[k];
        const QString sentence = htmlFieldText(item.text.trimmed());
        const QStringList fields{sentence, hintField(item.text2),
                                 QStringLiteral("[sound:") + item.clipFileName + u']',
                                 unitField(plan.unitName, item.section)};
        // Ids only need to be unique in the package: the program matches
        // notes by guid and gives an imported note a new id where one is taken.
        const qint64 noteId = nowMs + k;
        note.addBindValue(noteId);
        note.addBindValue(item.guid);
        note.addBindValue(kDictoraNoteTypeId);
        note.addBindValue(nowSecs);
        note.addBindValue(QStringLiteral(" %1 ").arg(item.tags.join(u' ')));
        note.addBindValue(fields.join(QChar(0x1f)));
        note.addBindValue(strippedFieldText(sentence));
        note.addBindValue(fieldChecksum(sentence));
        if (!writer.check(note, note.exec()))
            return false;
        for (const int ord : ords) {
            card.addBindValue(nowMs + 2 * k + ord);
            card.addBindValue(noteId);
            card.addBindValue(deckId);
            card.addBindValue(ord);
            card.addBindValue(nowSecs);
            card.addBindValue(k + 1); // new cards come in the Unit's order
            if (!writer.check(card, card.exec()))
                return false;
        }
    }
    if (!db.commit()) {
        *error = db.lastError().text();
        return false;
    }
    return true;
}

} // namespace

QString packageDeckName(const QString& unitName)
{
    return QStringLiteral("Dictora::") + unitName;
}

QByteArray packageMediaMap(const FlashcardExport& plan)
{
    QJsonObject map;
    const QList<FlashcardItem> clips = plan.distinctClips();
    for (qsizetype k = 0; k < clips.size(); ++k)
        map.insert(QString::number(k), clips[k].clipFileName);
    return QJsonDocument(map).toJson(QJsonDocument::Compact);
}

bool writePackageCollection(const QString& path, const FlashcardExport& plan,
                            const PackageCards& cards, qint64 nowMs, QString* error)
{
    // A connection of its own: the export may run beside the study record's.
    const QString connection =
        QStringLiteral("dictora-package-%1").arg(QRandomGenerator::global()->generate64());
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open())
            *error = db.lastError().text();
        else
            ok = fill(db, plan, cards, nowMs, error);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!ok)
        *error = QStringLiteral("cannot make the package's collection: %1").arg(*error);
    return ok;
}

} // namespace dictora
