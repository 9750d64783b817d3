// SPDX-License-Identifier: GPL-3.0-or-later
#include "library_fixture.h"

#include "core/study/unit_names.h"

using namespace dictora;
using namespace dictora::test;

TEST_F(LibraryTest, EmptyDataFolderListsOnlyANewNotebook)
{
    library.ScanDataFolder();
    EXPECT_EQ(library.unitNames(), QStringList{"生句本"});
    EXPECT_EQ(readAll(dataPath("生句本")), encodeUnit({3, 3.0f, 0}, {}, true));
    EXPECT_TRUE(library.unitFilePath().isEmpty());
    ASSERT_TRUE(library.OpenUnit(0));
    EXPECT_TRUE(library.isNotebook());
    EXPECT_EQ(library.unitName(), "生句本");
    EXPECT_EQ(library.header(), (UnitHeader{3, 3.0f, 0}));
    EXPECT_EQ(library.totalPercentText(), "0%"); // nothing to study yet
}

TEST_F(LibraryTest, ScanListsOnlyFilesWithTheFormatMark)
{
    writeUnit("课文", {title("T"), sentence("one")});
    writeUnit("a.b", {title("T")});
    ASSERT_TRUE(writeAll(folder.dataFolder() + "UPPER.DAT", encodeUnit(kNewUnitHeader, {}, false)));
    writeUnit(".hidden", {title("T")});
    QByteArray foreign = encodeUnit(kNewUnitHeader, {}, false);
    foreign[7] = 0;
    ASSERT_TRUE(writeAll(dataPath("foreign"), foreign));
    ASSERT_TRUE(writeAll(folder.dataFolder() + "notes.txt", encodeUnit(kNewUnitHeader, {}, false)));
    QDir(folder.dataFolder()).mkdir("folder.dat");
    library.ScanDataFolder();
    QStringList listed = library.unitNames();
    EXPECT_EQ(listed.takeFirst(), "生句本");
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"a.b", "课文"}));
    EXPECT_EQ(readAll(dataPath("foreign")), foreign); // not touched either
}

TEST_F(LibraryTest, ScanReviewsAndSavesButLeavesUnchangedFilesAlone)
{
    writeUnit("复习", {title("T"), sentence("old", "1", "5", "20260601090000"), sentence("new")});
    library.ScanDataFolder();
    // Level 5 studied 14 days ago under the normal schedule: demoted.
    const UnitReadResult saved = readUnitFile(dataPath("复习"), false);
    EXPECT_EQ(saved.rows[1][Level], "4");
    EXPECT_EQ(saved.rows[1][Done], "0");
    EXPECT_EQ(saved.rows[1][StudiedAt], "20260612151500");
    const int position = library.positionOf("复习");
    EXPECT_EQ(library.percentTextAt(position), "0%");
    EXPECT_EQ(library.completion().percentOf(position), 0);
    EXPECT_EQ(library.totalPercentText(), "0%"); // the empty Notebook does not count

    const QByteArray bytes = readAll(dataPath("复习"));
    const ino_t unit = inodeOf(dataPath("复习"));
    const ino_t notebook = inodeOf(dataPath("生句本"));
    library.ScanDataFolder();
    EXPECT_EQ(readAll(dataPath("复习")), bytes);
    EXPECT_EQ(inodeOf(dataPath("复习")), unit);
    EXPECT_EQ(inodeOf(dataPath("生句本")), notebook);
}

TEST_F(LibraryTest, OpeningAnotherUnitSavesAndClosesTheOpenOne)
{
    writeUnit("A", {title("T"), sentence("one")});
    writeUnit("B", {title("U")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("A")));
    table.setField(1, Text, "changed");
    state.currentRow = 1;
    state.dictationMode = true;
    state.playToMs = 500;
    state.mediaFilePath = "/m.mp3";
    ASSERT_TRUE(library.OpenUnit(library.positionOf("B")));
    EXPECT_EQ(readUnitFile(dataPath("A"), false).rows[1][Text], "changed");
    EXPECT_EQ(state.currentRow, kNone);
    EXPECT_EQ(state.playToMs, kNone);
    EXPECT_TRUE(state.isBrowseMode());
    EXPECT_TRUE(state.mediaFilePath.isEmpty());
    EXPECT_TRUE(media.sent.contains("Close MYSHOW "));
    EXPECT_EQ(library.unitFilePath(), dataPath("B"));
    EXPECT_EQ(table.rowCount(), 1);
}

TEST_F(LibraryTest, UnreadableUnitsStartWithNewSettingsAndAreNotOverwritten)
{
    writeUnit("坏", {title("T")}, {1, 9.0f, 0});
    writeUnit("目录", {title("T")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(0)); // the Notebook: 3, 3.0, 0
    // Cut down to a few bytes: not even a header.
    ASSERT_TRUE(writeAll(dataPath("坏"), QByteArray("\x51\x6B\x9A", 3)));
    ASSERT_TRUE(library.OpenUnit(library.positionOf("坏")));
    EXPECT_EQ(library.header(), kNewUnitHeader);
    EXPECT_EQ(readAll(dataPath("坏")), encodeUnit(kNewUnitHeader, {}, false));

    // A file that exists but cannot be opened is left as it is, and the
    // failure is reported.
    QFile::remove(dataPath("目录"));
    QDir(folder.dataFolder()).mkdir("目录.dat");
    EXPECT_FALSE(library.OpenUnit(library.positionOf("目录")));
    EXPECT_FALSE(failures.isEmpty());
    EXPECT_TRUE(QFileInfo(dataPath("目录")).isDir());
}

TEST_F(LibraryTest, FailedSaveIsReportedAndNeverShownAsComplete)
{
    writeUnit("A", {title("T"), sentence("one"), sentence("two", "1", "1", "20260615080000")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("A")));
    EXPECT_EQ(library.unitPercentText(), "50%");
    const QByteArray before = readAll(dataPath("A"));

    // The Data folder gives way to a file: nothing can be written there.
    ASSERT_TRUE(QDir(folder.path).rename("Data", "Data.moved"));
    ASSERT_TRUE(writeAll(folder.path + "Data", "in the way"));
    table.replaceAll({});
    state.unitModified = true;
    library.autosaveStep();
    EXPECT_FALSE(state.unitModified);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(library.lastError(), failures.first());
    EXPECT_EQ(library.unitPercentText(), "50%");
    EXPECT_EQ(library.completion().percentOf(library.openPosition()), 50);
    EXPECT_TRUE(backups().isEmpty());

    QFile::remove(folder.path + "Data");
    ASSERT_TRUE(QDir(folder.path).rename("Data.moved", "Data"));
    EXPECT_EQ(readAll(dataPath("A")), before);
}

TEST_F(LibraryTest, NotebookTakesEachTextOnceAndKeepsItsRecordsByteForByte)
{
    // The Notebook holds one record in the older 8-bit form.
    QByteArray notebook = encodeUnit(kNotebookHeader, {}, true).left(20);
    appendInt32(notebook, 1);
    appendInt32(notebook, 0);
    appendInt32(notebook, 0);
    notebook += QByteArray("\x03old", 4) + QByteArray("\x00", 1);
    for (int32_t v : {0, 0, 1388509261})
        appendInt32(notebook, v);
    notebook += QByteArray("\x01U\x00\x00", 4);
    appendInt32(notebook, 0);
    const QByteArray oldRecords = notebook;
    appendInt32(notebook, kTerminator);
    ASSERT_TRUE(writeAll(dataPath("生句本"), notebook));

    SentenceRow line = sentence("Hello there.", "1", "3", "20260610101010");
    line[StartMs] = "1200";
    line[EndMs] = "3400";
    line[Text2] = "你好。";
    SentenceRow head = title("第一课");
    head[MediaPath] = "..";
    head[MediaName] = "a.mp3";
    head[MediaLengthMs] = "60000";
    writeUnit("课", {head, line, sentence("old")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("课")));
    const QByteArray scanned = readAll(dataPath("生句本"));
    EXPECT_TRUE(scanned.startsWith(oldRecords.left(20)));

    EXPECT_EQ(library.AddToNotebook(), UnitLibrary::NotebookAdd::Nothing); // no current row
    state.currentRow = 1;
    ASSERT_EQ(library.AddToNotebook(), UnitLibrary::NotebookAdd::Added);
    const QByteArray added = readAll(dataPath("生句本"));
    EXPECT_TRUE(added.startsWith(scanned.left(scanned.size() - 4)));
    const UnitReadResult read = readUnitFile(dataPath("生句本"), true);
    ASSERT_EQ(read.rows.size(), 2u);
    const SentenceRow& entry = read.rows[1];
    EXPECT_EQ(entry[Kind], "1");
    EXPECT_EQ(entry[StartMs], "1200");
    EXPECT_EQ(entry[EndMs], "3400");
    EXPECT_EQ(entry[Text], "Hello there.");
    EXPECT_EQ(entry[Text2], "你好。");
    EXPECT_EQ(entry[Done], "0");
    EXPECT_EQ(entry[Level], "0");
    EXPECT_EQ(entry[StudiedAt], kDefaultStampText);
    EXPECT_EQ(entry[SectionTitle], "课");
    EXPECT_EQ(entry[MediaPath], "..");
    EXPECT_EQ(entry[MediaName], "a.mp3");
    EXPECT_EQ(entry[MediaLengthMs], "60000");

    // The same text again, or the text already there: nothing changes.
    EXPECT_EQ(library.AddToNotebook(), UnitLibrary::NotebookAdd::AlreadyThere);
    state.currentRow = 2;
    EXPECT_EQ(library.AddToNotebook(), UnitLibrary::NotebookAdd::AlreadyThere);
    EXPECT_EQ(readAll(dataPath("生句本")), added);
    // From within the Notebook nothing is added.
    ASSERT_TRUE(library.OpenUnit(0));
    state.currentRow = 0;
    EXPECT_EQ(library.AddToNotebook(), UnitLibrary::NotebookAdd::Nothing);
    EXPECT_EQ(readUnitFile(dataPath("生句本"), true).rows.size(), 2u);
}

TEST_F(LibraryTest, BackupsAtMostEveryFiveMinutesReplacingOnlyThisUnitsOwn)
{
    writeUnit("A", {title("T"), sentence("one")});
    writeUnit("B", {title("T")});
    library.ScanDataFolder();
    const QString others[] = {"AB (20250101_000000 备份).dat", "A-1 (20250101_000000 备份).dat",
                              "A (20250101_000000 备份).dat.old", "B(清除记录前备份) .dat"};
    for (const QString& name : others)
        ASSERT_TRUE(writeAll(folder.backupFolder() + name, "other"));
    ASSERT_TRUE(writeAll(folder.backupFolder() + "A(清除记录前备份) .dat", "own"));
    ASSERT_TRUE(writeAll(folder.backupFolder() + "A (20250101_000000 备份).dat", "own"));
    ASSERT_TRUE(library.OpenUnit(library.positionOf("A")));

    library.autosaveStep(); // nothing modified: no save, no backup
    EXPECT_EQ(backups().size(), 6);

    state.unitModified = true;
    library.autosaveStep(); // the first autosave of a run always backs up
    const QString first = "A (20260615_151500 备份).dat";
    EXPECT_EQ(readAll(folder.backupFolder() + first), readAll(dataPath("A")));
    // The backup kept before a record was cleared is not a timed one: it stays.
    QStringList expected{others[0], others[1], others[2], others[3], "A(清除记录前备份) .dat",
                         first};
    expected.sort();
    EXPECT_EQ(backups(), expected);

    setNow("20260615152000"); // exactly 300 s later: not yet
    table.setField(1, Text, "two");
    state.unitModified = true;
    library.autosaveStep();
    EXPECT_EQ(readUnitFile(dataPath("A"), false).rows[1][Text], "two");
    EXPECT_EQ(backups(), expected);

    setNow("20260615152001");
    const QString second = "A (20260615_152001 备份).dat";
    ASSERT_TRUE(writeAll(folder.backupFolder() + second, "already here"));
    state.unitModified = true;
    library.autosaveStep(); // never overwrites, and keeps the older one
    EXPECT_EQ(readAll(folder.backupFolder() + second), "already here");
    EXPECT_TRUE(backups().contains(first));

    ASSERT_TRUE(library.OpenUnit(library.positionOf("B")));
    setNow("20260615152400"); // under five minutes since the last backup
    state.unitModified = true;
    library.autosaveStep();
    EXPECT_FALSE(backups().contains("B (20260615_152400 备份).dat"));
    setNow("20260615152502");
    state.unitModified = true;
    library.autosaveStep();
    EXPECT_TRUE(backups().contains("B (20260615_152502 备份).dat"));
    EXPECT_TRUE(backups().contains("B(清除记录前备份) .dat"));
    EXPECT_TRUE(backups().contains(first)); // A's own stays
}

TEST_F(LibraryTest, DataFolderInTheWayIsReportedAndLeftAlone)
{
    ASSERT_TRUE(QDir(folder.path).rmdir("Data"));
    ASSERT_TRUE(writeAll(folder.path + "Data", "a file, not a folder"));
    library.ScanDataFolder();
    EXPECT_EQ(library.unitNames(), QStringList{"生句本"});
    EXPECT_FALSE(failures.isEmpty());
    EXPECT_FALSE(library.OpenUnit(0));
    EXPECT_EQ(readAll(folder.path + "Data"), "a file, not a folder");
}

TEST_F(LibraryTest, AcceptedAnswerIsSavedByTheNextAutosaveAndFeedsTheEstimate)
{
    writeUnit("A", {title("T"), sentence("abcd"), sentence(QString(30, u'x'))});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("A")));
    EXPECT_EQ(library.estimateText(), "估时 - 未知");
    state.currentRow = 1;
    const AnswerResult result = library.answerAccepted(0, at("20260615151420"));
    EXPECT_EQ(result.effect, AnswerEffect::Rested);
    EXPECT_TRUE(state.unitModified);
    library.autosaveStep();
    EXPECT_FALSE(state.unitModified);
    EXPECT_EQ(readUnitFile(dataPath("A"), false).rows[1][Done], "1");
    // 4 characters in 40 seconds; 30 left: 300 seconds.
    EXPECT_EQ(library.studyChars(), 4);
    EXPECT_EQ(library.studySeconds(), 40);
    EXPECT_EQ(library.estimateText(), "估时 - 00:05:00");
    EXPECT_EQ(library.progressLine(), "已经完成: 1 行 / 共: 2 行");
}
