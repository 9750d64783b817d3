// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/playback_settings.h"
#include "core/study/program_folder.h"
#include "core/study/unit_file.h"
#include "platform/media/clip_cutter.h"
#include "platform/media/loudness_meter.h"

#include "core/study/cli_run.h"
#include "core/study/study_fixtures.h"
#include "support/media_making.h"
#include "support/media_runtime.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <zip.h>

using namespace dictora;
using namespace dictora::test;

namespace {

class ExportCommand : public ::testing::Test {
protected:
    QTemporaryDir home;
    ProgramFolder folder{home.path() + "/"};
    QString out;
    QString wav;

    void SetUp() override
    {
        ensureMediaRuntime();
        ASSERT_TRUE(home.isValid());
        createDataFolders(folder);
        out = home.filePath("cards");
        ASSERT_TRUE(QDir().mkpath(out));
        wav = home.filePath("talk two.wav");
        ASSERT_TRUE(writeWave(testSignal(30, 44100), wav)); // 3000 ms
        ASSERT_TRUE(writeUnit("Lesson", "One two three."));
    }
    bool writeUnit(const QString& name, const QString& firstSentence,
                   const char* secondStartMs = "1457")
    {
        SentenceRow talk = title("Talk");
        talk[MediaPath] = wav;
        talk[MediaName] = "talk two.wav";
        auto span = [](const QString& text, const char* start, const char* end) {
            SentenceRow row = sentence(text);
            row[StartMs] = start;
            row[EndMs] = end;
            return row;
        };
        const std::vector<SentenceRow> rows{talk, span(firstSentence, "123", "1457"),
                                            span("Four five.", secondStartMs, "0"), // to the end
                                            title("Words"), sentence("你好")}; // no media: spoken
        return writeAll(folder.dataFolder() + name + ".dat",
                        encodeUnit(kNewUnitHeader, rows, false));
    }
    static qint64 clipFrames(const QString& path)
    {
        int rate = 0;
        const qint64 frames = oggVorbisFrames(path, &rate);
        return rate == 44100 ? frames : -rate;
    }
};

TEST_F(ExportCommand, WritesTheTsvAndOneExactClipASentence)
{
    const CliRun run = runCli({"export", "Lesson", out}, home.path());
    ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
    EXPECT_EQ(run.json["cards"].toInt(), 3);
    EXPECT_EQ(run.json["spoken"].toInt(), 1);
    EXPECT_EQ(run.json["short"].toInt(), 0);
    const QStringList lines = QString::fromUtf8(readAll(out + "/Lesson.tsv")).split('\n');
    ASSERT_GE(lines.size(), 6);
    const QRegularExpression line(
        "^(.*)\t\t\\[sound:(dictora-Lesson-[0-9a-f]{12}\\.ogg)\\]\t(.*)$");
    QStringList clips;
    for (int k : {3, 4, 5}) {
        const QRegularExpressionMatch match = line.match(lines[k]);
        ASSERT_TRUE(match.hasMatch()) << lines[k].toStdString();
        clips << out + "/" + match.captured(2);
    }
    EXPECT_TRUE(lines[3].startsWith("One two three.\t") && lines[3].endsWith("\tLesson Talk"));
    EXPECT_TRUE(lines[5].startsWith("你好\t") && lines[5].endsWith("\tLesson Words"));
    EXPECT_EQ(clipFrames(clips[0]), 1457 * 441 / 10 - 123 * 441 / 10);
    EXPECT_EQ(clipFrames(clips[1]), 3000 * 441 / 10 - 1457 * 441 / 10);
    int rate = 0;
    EXPECT_GT(oggVorbisFrames(clips[2], &rate), 0);
    EXPECT_GT(rate, 0);
    // Nothing but the export in the folder: no temporary file left behind.
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

TEST_F(ExportCommand, ReplacesFilesOnlyWithForce)
{
    ASSERT_TRUE(writeAll(out + "/Lesson.tsv", "mine"));
    const CliRun refused = runCli({"export", "Lesson", out}, home.path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.error.contains("Lesson.tsv exists already")) << refused.error.toStdString();
    EXPECT_EQ(readAll(out + "/Lesson.tsv"), "mine");
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 1);
    const CliRun forced = runCli({"export", "Lesson", out, "--force"}, home.path());
    ASSERT_EQ(forced.exitCode, 0) << forced.error.toStdString();
    EXPECT_TRUE(readAll(out + "/Lesson.tsv").startsWith("#separator:tab"));
}

TEST_F(ExportCommand, ANameCannotLeadOutOfTheFolder)
{
    const CliRun run = runCli({"export", "Lesson", out}, home.path());
    ASSERT_EQ(run.exitCode, 0);
    const CliRun missing = runCli({"export", "../Lesson", out}, home.path());
    EXPECT_EQ(missing.exitCode, 2) << "not a Unit name";
    EXPECT_EQ(runCli({"export", "Lesson", home.filePath("nowhere")}, home.path()).exitCode, 1);
}

TEST_F(ExportCommand, ClipsAreLevelledOnlyWhileTheLearnerLevelsLoudness)
{
    const auto measure = [](const QString& file) {
        QString error;
        const std::optional<Loudness> loudness = measureLoudness(file, &error);
        EXPECT_TRUE(loudness) << error.toStdString();
        return loudness;
    };
    // The gain is the whole file's, as the player applies it to every span.
    const double fileGainDb = levellingGainDb(measure(home.filePath("talk two.wav")));
    ASSERT_GT(std::abs(fileGainDb), 1.0) << "the test signal must need levelling";
    ASSERT_EQ(runCli({"export", "Lesson", out}, home.path()).exitCode, 0); // levelling is on
    PlaybackSettings plain;
    plain.levelLoudness = false;
    ASSERT_TRUE(savePlaybackSettings(folder, plain));
    const QString plainOut = home.filePath("plain");
    ASSERT_TRUE(QDir().mkpath(plainOut));
    ASSERT_EQ(runCli({"export", "Lesson", plainOut}, home.path()).exitCode, 0);

    const auto firstClip = [](const QString& dir) {
        const QString tsv = QString::fromUtf8(readAll(dir + "/Lesson.tsv"));
        const QRegularExpressionMatch match =
            QRegularExpression("\\[sound:([^\\]]+)\\]").match(tsv);
        return dir + "/" + match.captured(1);
    };
    EXPECT_NE(QFileInfo(firstClip(out)).fileName(), QFileInfo(firstClip(plainOut)).fileName())
        << "levelled clips never take the plain ones' names";
    const double levelled = measure(firstClip(out)).value_or(Loudness{}).integratedLufs;
    const double asDecoded = measure(firstClip(plainOut)).value_or(Loudness{}).integratedLufs;
    EXPECT_NEAR(levelled - asDecoded, fileGainDb, 0.5);
}

// Where a hostile user plants a link in the export folder, to a file of the
// learner's outside it (or, dangling, to where no file is yet).
enum class Plant { OldTemporaryNames, ClipName, TsvName, PackageName, DanglingClipName };

struct HostileCase {
    Plant plant;
    bool force;
    int exitCode; // refused (1) or written (0)
};

// Every entry below root but outside skip: a digest of its bytes, or where it links.
QMap<QString, QByteArray> snapshot(const QString& root, const QString& skip)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        if (!info.absoluteFilePath().startsWith(skip + "/"))
            entries[info.absoluteFilePath()] =
                info.isSymLink() ? info.symLinkTarget().toUtf8()
                                 : QCryptographicHash::hash(readAll(info.absoluteFilePath()),
                                                            QCryptographicHash::Sha1);
    }
    return entries;
}

class HostileExportFolder : public ExportCommand,
                            public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileExportFolder, NothingOutsideTheFolderIsWrittenAndNoLinkIsLeft)
{
    const auto [plant, force, exitCode] = GetParam();
    const QString victim = home.filePath("victim.txt");
    const QString absent = home.filePath("absent.ogg");
    ASSERT_TRUE(writeAll(victim, "the learner's own file"));
    // The clips' names are the same on every export of the Unit: learn them.
    ASSERT_EQ(runCli({"export", "Lesson", out}, home.path()).exitCode, 0);
    const QStringList clips = QDir(out).entryList({"*.ogg"}, QDir::Files);
    ASSERT_EQ(clips.size(), 3);
    ASSERT_TRUE(QDir(out).removeRecursively() && QDir().mkpath(out));
    const bool apkg = plant == Plant::PackageName;
    const QStringList linkNames =
        plant == Plant::OldTemporaryNames
            ? QStringList{"." + clips[0] + ".part", "." + clips[1] + ".part",
                          "." + clips[2] + ".part", ".Lesson.tsv.part"}
        : plant == Plant::ClipName    ? QStringList{clips[1]}
        : plant == Plant::TsvName     ? QStringList{"Lesson.tsv"}
        : plant == Plant::PackageName ? QStringList{"deck.apkg"}
                                      : QStringList{clips[0]};
    for (const QString& name : linkNames)
        ASSERT_TRUE(
            QFile::link(plant == Plant::DanglingClipName ? absent : victim, out + "/" + name));
    const QMap<QString, QByteArray> before = snapshot(home.path(), out);
    const CliRun run = runCli(
        {"export", "Lesson", apkg ? out + "/deck.apkg" : out, force ? "--force" : "--progress"},
        home.path());

    EXPECT_EQ(run.exitCode, exitCode) << run.error.toStdString();
    EXPECT_EQ(snapshot(home.path(), out), before) << "something outside the export folder changed";
    for (const QString& name : run.exitCode ? QStringList()
                               : apkg       ? QStringList{"deck.apkg"}
                                            : clips + QStringList{"Lesson.tsv"})
        EXPECT_TRUE(QFileInfo(out + "/" + name).isFile() &&
                    !QFileInfo(out + "/" + name).isSymLink())
            << name.toStdString();
    for (const QString& name :
         QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        EXPECT_FALSE(name.contains("dictora-tmp")) << "left behind: " << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Links, HostileExportFolder,
                         ::testing::Values(HostileCase{Plant::OldTemporaryNames, false, 0},
                                           HostileCase{Plant::ClipName, false, 1},
                                           HostileCase{Plant::ClipName, true, 0},
                                           HostileCase{Plant::TsvName, false, 1},
                                           HostileCase{Plant::TsvName, true, 0},
                                           HostileCase{Plant::PackageName, false, 1},
                                           HostileCase{Plant::PackageName, true, 0},
                                           HostileCase{Plant::DanglingClipName, true, 0}));

class DamagedMedia : public ExportCommand {};

TEST_F(DamagedMedia, ShortAndSpokenClipsAreCountedByRow)
{
    ASSERT_TRUE(QFile(wav).resize(44 + 44100 * 4)); // one second of the three the file states
    const CliRun run = runCli({"export", "Lesson", out}, home.path());
    ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
    const QJsonArray shortRows = run.json["shortRows"].toArray();
    const QJsonArray spokenRows = run.json["spokenRows"].toArray();
    EXPECT_EQ(run.json["short"].toInt(), shortRows.size());
    EXPECT_EQ(run.json["spoken"].toInt(), spokenRows.size());
    EXPECT_TRUE(shortRows.contains(1)) << "the first sentence runs past the audio left";
    EXPECT_TRUE(shortRows.contains(2) || spokenRows.contains(2)) << "the second lies beyond it";
    EXPECT_TRUE(spokenRows.contains(4)) << "the third has no media";
    EXPECT_EQ(shortRows.size() + spokenRows.size(), 3);
}

// A package opened as a flashcard program's importer opens it: the zip's
// members, the media map and the collection's rows.
struct OpenedPackage {
    QMap<QString, QByteArray> members;
    QJsonObject media;
    QStringList schema; // names of tables and indexes
    QList<QVariantList> col, notes, cards;

    QStringList mediaNames() const
    {
        QStringList names;
        for (const QJsonValue& name : media)
            names << name.toString();
        return names;
    }
};

QList<QVariantList> rows(QSqlDatabase& db, const QString& select, int columns)
{
    QList<QVariantList> all;
    QSqlQuery query(db);
    EXPECT_TRUE(query.exec(select)) << select.toStdString();
    while (query.next()) {
        all.append(QVariantList());
        for (int k = 0; k < columns; ++k)
            all.back() << query.value(k);
    }
    return all;
}

OpenedPackage openPackage(const QString& path, const QString& scratch)
{
    OpenedPackage package;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, nullptr);
    EXPECT_TRUE(archive) << "not a zip archive";
    for (zip_int64_t k = 0; archive && k < zip_get_num_entries(archive, 0); ++k) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(k), 0, &stat);
        QByteArray bytes(qsizetype(stat.size), '\0');
        zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(k), 0);
        EXPECT_EQ(zip_fread(file, bytes.data(), stat.size), zip_int64_t(stat.size));
        zip_fclose(file);
        package.members.insert(QString::fromUtf8(stat.name), bytes);
    }
    if (archive)
        zip_close(archive);
    package.media = QJsonDocument::fromJson(package.members.value("media")).object();
    EXPECT_TRUE(writeAll(scratch + "/collection.anki2", package.members.value("collection.anki2")));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "package-test");
        db.setDatabaseName(scratch + "/collection.anki2");
        EXPECT_TRUE(db.open());
        for (const QVariantList& row : rows(db, "SELECT name FROM sqlite_master", 1))
            package.schema << row[0].toString();
        package.col = rows(db, "SELECT ver, models, decks FROM col", 3);
        package.notes = rows(db, "SELECT guid, mod, flds, sfld, csum FROM notes ORDER BY id", 5);
        package.cards = rows(db, "SELECT did, ord FROM cards ORDER BY id", 2);
    }
    QSqlDatabase::removeDatabase("package-test");
    return package;
}

// The program's checksum worked out apart from the exporter's code: tags
// dropped, entities read, SHA-1, the first 32 bits.
qint64 programChecksum(QString field)
{
    field.remove(QRegularExpression("<[^>]*>"))
        .replace("&lt;", "<")
        .replace("&gt;", ">")
        .replace("&amp;", "&");
    return QCryptographicHash::hash(field.toUtf8(), QCryptographicHash::Sha1)
        .toHex()
        .left(8)
        .toLongLong(nullptr, 16);
}

class PackageExport : public ExportCommand {
protected:
    OpenedPackage exportPackage(const QString& unit, const QString& name, const QString& now,
                                const QStringList& extra = {})
    {
        const QString path = out + "/" + name;
        const CliRun run =
            runCli(QStringList{"export", unit, path, "--now", now} + extra, home.path());
        EXPECT_EQ(run.exitCode, 0) << run.error.toStdString();
        EXPECT_EQ(run.json["apkg"].toString(), path);
        return openPackage(path, home.path());
    }
};

TEST_F(PackageExport, OpensAsAnImporterReadsIt)
{
    const OpenedPackage package = exportPackage("Lesson", "Lesson.apkg", "20260105093000");
    for (const char* name :
         {"col", "notes", "cards", "revlog", "graves", "ix_notes_usn", "ix_cards_usn",
          "ix_revlog_usn", "ix_cards_nid", "ix_cards_sched", "ix_revlog_cid", "ix_notes_csum"})
        EXPECT_TRUE(package.schema.contains(name)) << name;
    ASSERT_EQ(package.col.size(), 1);
    EXPECT_EQ(package.col[0][0].toInt(), 11);

    const QJsonObject models = QJsonDocument::fromJson(package.col[0][1].toByteArray()).object();
    ASSERT_EQ(models.size(), 1);
    const QJsonObject model = models.begin()->toObject();
    QStringList names;
    for (const char* list : {"flds", "tmpls"})
        for (const QJsonValue& entry : model[list].toArray())
            names << entry["name"].toString();
    EXPECT_EQ(names, QStringList({"句子", "提示", "音频", "单元", "听写", "回忆"}));
    EXPECT_EQ(model["sortf"].toInt(), 0);
    EXPECT_TRUE(model["tmpls"][0]["qfmt"].toString().contains("{{type:句子}}"));
    qint64 deckId = 0;
    for (const QJsonValue& deck : QJsonDocument::fromJson(package.col[0][2].toByteArray()).object())
        deckId = deck["name"] == "Dictora::Lesson" ? deck["id"].toInteger() : deckId;

    ASSERT_EQ(package.notes.size(), 3);
    const QStringList media = package.mediaNames();
    for (const QVariantList& note : package.notes) {
        const QStringList fields = note[2].toString().split(QChar(0x1f));
        ASSERT_EQ(fields.size(), 4);
        EXPECT_FALSE(fields[0].contains("[sound:"));
        EXPECT_EQ(note[3].toString(), fields[0]);
        EXPECT_EQ(note[4].toLongLong(), programChecksum(fields[0]));
        const QString sound = QRegularExpression("^\\[sound:(.+)\\]$").match(fields[2]).captured(1);
        const QString member = package.media.keys().value(media.indexOf(sound), "none");
        EXPECT_TRUE(package.members.value(member).startsWith("OggS")) << sound.toStdString();
    }
    const QStringList firstFields = package.notes[0][2].toString().split(QChar(0x1f));
    EXPECT_EQ(firstFields[0], "One two three.");
    EXPECT_EQ(firstFields[3], "Lesson · Talk");
    ASSERT_EQ(package.cards.size(), 3) << "one dictation card a note by default";
    for (const QVariantList& card : package.cards)
        EXPECT_TRUE(card[0].toLongLong() == deckId && card[1].toInt() == 0);
    EXPECT_EQ(
        exportPackage("Lesson", "both.apkg", "20260105093000", {"--cards", "dictation,recall"})
            .cards.size(),
        6);
}

TEST_F(PackageExport, ExportingAgainUpdatesTheSameNotesAndClipNamesNeverMeet)
{
    const OpenedPackage first = exportPackage("Lesson", "first.apkg", "20260105093000");
    const OpenedPackage again = exportPackage("Lesson", "again.apkg", "20260106093000");
    ASSERT_TRUE(writeUnit("Lesson", "One, two, three!", "1500")); // a sentence edited, a span moved
    const OpenedPackage edited = exportPackage("Lesson", "edited.apkg", "20260107093000");
    // Two Units whose names give their clips the same pattern.
    ASSERT_TRUE(writeUnit("Lesson 1", "One two three.") && writeUnit("Lesson_1", "One two three."));
    const QStringList unit1 = exportPackage("Lesson 1", "1.apkg", "20260107093000").mediaNames();
    const QStringList unit1b = exportPackage("Lesson_1", "1b.apkg", "20260107093000").mediaNames();
    ASSERT_EQ(edited.notes.size(), 3);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(again.notes[k][0], first.notes[k][0]);
        EXPECT_EQ(edited.notes[k][0], first.notes[k][0]);
        EXPECT_TRUE(unit1b[k].startsWith("dictora-Lesson_1-") && !unit1.contains(unit1b[k]));
    }
    EXPECT_EQ(again.mediaNames(), first.mediaNames()) << "unchanged clips keep their names";
    EXPECT_TRUE(edited.notes[0][2].toString().startsWith("One, two, three!\x1f"));
    EXPECT_GT(edited.notes[0][1].toLongLong(), again.notes[0][1].toLongLong());
    EXPECT_FALSE(first.mediaNames().contains(edited.mediaNames()[1]))
        << "a changed clip takes a new name";
}

} // namespace
