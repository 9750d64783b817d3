// SPDX-License-Identifier: GPL-3.0-or-later
// A damaged Unit is never silently shortened: its original bytes are kept in
// Backup/ once, the learner is told, and the rows before the damage stay.
#include "library_fixture.h"

#include <QRandomGenerator>

using namespace dictora;
using namespace dictora::test;

namespace {

// Where record `index` starts in the bytes of these rows.
qsizetype recordStart(const std::vector<SentenceRow>& rows, size_t index, bool isNotebook)
{
    const std::vector<SentenceRow> before(rows.begin(), rows.begin() + qsizetype(index));
    return encodeUnit(kNewUnitHeader, before, isNotebook).size() - 4;
}

// The one-byte length of the record's text (kind, start and end come first,
// then FF FFFE).
qsizetype textLengthByte(const std::vector<SentenceRow>& rows, size_t index, bool isNotebook)
{
    return recordStart(rows, index, isNotebook) + 12 + 3;
}

class DamagedUnitTest : public LibraryTest {
protected:
    QList<DamagedUnit> told;

    void SetUp() override
    {
        LibraryTest::SetUp();
        QObject::connect(&library, &UnitLibrary::damagedUnitKept,
                         [this](const DamagedUnit& damaged) { told << damaged; });
    }
    static std::vector<SentenceRow> eightRowsInThreeSections()
    {
        return {title("一"),    sentence("s1"), sentence("s2"), title("二"),
                sentence("s3"), sentence("s4"), title("三"),    sentence("s5")};
    }
    static std::vector<SentenceRow> notebookRows()
    {
        std::vector<SentenceRow> rows{sentence("n1"), sentence("n2"), sentence("n3")};
        for (SentenceRow& row : rows)
            row[SectionTitle] = "课";
        return rows;
    }
    QString copyPath(const QString& name) const
    {
        return folder.backupFolder() + name + " (损坏 20260615_151500).dat";
    }
};

} // namespace

TEST_F(DamagedUnitTest, DamagedByteAnywhereKeepsTheOriginalOnceAndTheRowsBefore)
{
    const std::vector<SentenceRow> rows = eightRowsInThreeSections();
    const QByteArray whole = encodeUnit(kNewUnitHeader, rows, false);
    const struct {
        const char* where;
        qsizetype offset;
        size_t rowsBefore;
    } cases[] = {
        {"first sentence's text length", textLengthByte(rows, 1, false), 1},
        {"second Section's first sentence", textLengthByte(rows, 4, false), 4},
        {"last row", textLengthByte(rows, 7, false), 7},
        {"terminator", whole.size() - 4, 8},
    };
    for (const auto& [where, offset, rowsBefore] : cases) {
        SCOPED_TRACE(where);
        QDir(folder.backupFolder()).removeRecursively();
        QDir().mkpath(folder.backupFolder());
        told.clear();
        QByteArray damaged = whole;
        damaged[offset] = char(0xF0);
        ASSERT_TRUE(writeAll(dataPath("课"), damaged));

        library.ScanDataFolder();
        EXPECT_EQ(backups(), QStringList{"课 (损坏 20260615_151500).dat"});
        EXPECT_EQ(readAll(copyPath("课")), damaged);
        ASSERT_EQ(told.size(), 1);
        EXPECT_EQ(told.first().unitName, "课");
        EXPECT_EQ(told.first().copyPath, copyPath("课"));
        EXPECT_TRUE(damagedUnitNotice(told.first()).contains("课 (损坏 20260615_151500).dat"));
        const UnitReadResult saved = readUnitFile(dataPath("课"), false);
        EXPECT_TRUE(saved.readWhole());
        ASSERT_GE(saved.rows.size(), rowsBefore);
        for (size_t r = 0; r < rowsBefore; ++r)
            EXPECT_EQ(saved.rows[r][Text], rows[r][Text]) << r;

        // The rewritten Unit reads cleanly: no second copy, no second notice.
        library.ScanDataFolder();
        EXPECT_EQ(backups().size(), 1);
        EXPECT_EQ(told.size(), 1);
    }
}

TEST_F(DamagedUnitTest, CleanFilesAndDamagedMarksAreNeverCopied)
{
    writeUnit("好", eightRowsInThreeSections());
    QByteArray foreign = encodeUnit(kNewUnitHeader, eightRowsInThreeSections(), false);
    foreign[3] = char(0xF0); // no longer the format mark: not a Unit, not touched
    ASSERT_TRUE(writeAll(dataPath("外"), foreign));
    library.ScanDataFolder();
    library.ScanDataFolder();
    EXPECT_TRUE(backups().isEmpty());
    EXPECT_TRUE(told.isEmpty());
    EXPECT_EQ(readAll(dataPath("外")), foreign);
}

TEST_F(DamagedUnitTest, DamagedNotebookKeepsItsOriginalAndTheSentencesBefore)
{
    const std::vector<SentenceRow> rows = notebookRows();
    const QByteArray whole = encodeUnit(kNotebookHeader, rows, true);
    const struct {
        const char* where;
        qsizetype offset;
        size_t rowsBefore;
    } cases[] = {
        {"second sentence", textLengthByte(rows, 1, true), 1},
        {"terminator", whole.size() - 4, 3},
    };
    for (const auto& [where, offset, rowsBefore] : cases) {
        SCOPED_TRACE(where);
        QDir(folder.backupFolder()).removeRecursively();
        QDir().mkpath(folder.backupFolder());
        QByteArray damaged = whole;
        damaged[offset] = char(0xF0);
        ASSERT_TRUE(writeAll(dataPath("生句本"), damaged));
        library.ScanDataFolder();
        EXPECT_EQ(readAll(copyPath("生句本")), damaged);
        const UnitReadResult saved = readUnitFile(dataPath("生句本"), true);
        ASSERT_GE(saved.rows.size(), rowsBefore);
        for (size_t r = 0; r < rowsBefore; ++r) {
            EXPECT_EQ(saved.rows[r][Text], rows[r][Text]);
            EXPECT_EQ(saved.rows[r][SectionTitle], "课");
        }
    }
}

TEST_F(DamagedUnitTest, NoiseInTheNotebookIsKeptAndAnEmptyNotebookStarts)
{
    QByteArray noise(4096, Qt::Uninitialized);
    QRandomGenerator random(8);
    for (char& byte : noise)
        byte = char(random.bounded(256));
    ASSERT_TRUE(writeAll(dataPath("生句本"), noise));
    library.ScanDataFolder();
    EXPECT_EQ(readAll(copyPath("生句本")), noise);
    EXPECT_EQ(readAll(dataPath("生句本")), encodeUnit(kNotebookHeader, {}, true));
    EXPECT_EQ(told.size(), 1);
}

TEST_F(DamagedUnitTest, AddingToADamagedNotebookKeepsItFirst)
{
    writeUnit("课", {title("T"), sentence("new one")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("课")));
    const std::vector<SentenceRow> rows = notebookRows();
    QByteArray damaged = encodeUnit(kNotebookHeader, rows, true);
    damaged[textLengthByte(rows, 2, true)] = char(0xF0);
    ASSERT_TRUE(writeAll(dataPath("生句本"), damaged));

    state.currentRow = 1;
    ASSERT_EQ(library.AddToNotebook(), UnitLibrary::NotebookAdd::Added);
    EXPECT_EQ(readAll(copyPath("生句本")), damaged);
    EXPECT_EQ(told.size(), 1);
    const UnitReadResult saved = readUnitFile(dataPath("生句本"), true);
    ASSERT_TRUE(saved.readWhole());
    ASSERT_EQ(saved.rows.size(), 3u);
    EXPECT_EQ(saved.rows[0][Text], "n1");
    EXPECT_EQ(saved.rows[1][Text], "n2");
    EXPECT_EQ(saved.rows[2][Text], "new one");
}

TEST_F(DamagedUnitTest, WithoutARoomForTheCopyTheDamagedUnitIsLeftAsItIs)
{
    QByteArray damaged = encodeUnit(kNewUnitHeader, eightRowsInThreeSections(), false);
    damaged[damaged.size() - 4] = char(0xF0);
    ASSERT_TRUE(writeAll(dataPath("课"), damaged));
    ASSERT_TRUE(QDir(folder.backupFolder()).removeRecursively());
    ASSERT_TRUE(writeAll(folder.path + "Backup", "a file in the way"));
    library.ScanDataFolder();
    EXPECT_EQ(readAll(dataPath("课")), damaged);
    ASSERT_FALSE(failures.isEmpty());
    EXPECT_TRUE(failures.join('\n').contains("no copy of it could be kept"));
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(DamagedUnitTest, UnitFileAboveTheSizeLimitIsNeitherReadNorRewritten)
{
    const QString path = dataPath("巨");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(encodeUnit(kNewUnitHeader, {title("T")}, false).chopped(4));
        ASSERT_TRUE(file.resize(kUnitFileSizeLimit + 1)); // sparse: costs no disk
    }
    const ino_t inode = inodeOf(path);
    library.ScanDataFolder();
    EXPECT_TRUE(library.unitNames().contains("巨"));
    EXPECT_EQ(inodeOf(path), inode);
    EXPECT_EQ(QFileInfo(path).size(), kUnitFileSizeLimit + 1);
    ASSERT_FALSE(failures.isEmpty());
    EXPECT_TRUE(failures.join('\n').contains("larger than 64 MB"))
        << failures.join('\n').toStdString();
    EXPECT_TRUE(backups().isEmpty());
}
