#include "core/import/record_clearing.h"

#include "core/import/test_files.h"
#include "core/study/stamp.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace dictora;
using dictora::test::FileFolder;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void studied(SentenceTable& table)
{
    table.appendRow(makeTitleRow("Lesson"));
    SentenceRow row = makeSentenceRow();
    row[StartMs] = "1000";
    row[Text] = "Hello";
    row[Done] = "1";
    row[Level] = "4";
    row[StudiedAt] = "20260101120000";
    row[MediaPath] = "..";
    table.appendRow(row);
}

} // namespace

TEST(RecordClearing, BackupNameFollowsTheUnitFile)
{
    const ProgramFolder folder{"/p/"};
    EXPECT_EQ(clearRecordBackupPath(folder, "/p/Data/Lesson 1.dat"),
              "/p/Backup/Lesson 1(清除记录前备份) .dat");
    EXPECT_EQ(clearRecordBackupPath(folder, "/p/Data/a.b.dat"),
              "/p/Backup/a.b(清除记录前备份) .dat");
}

TEST(RecordClearing, BacksUpOnceThenResetsEveryRow)
{
    FileFolder dir;
    const ProgramFolder folder{dir.path("") + "/"};
    QDir().mkpath(folder.dataFolder());
    QDir().mkpath(folder.backupFolder());
    StudyState state;
    state.unitFilePath = dir.write("Data/Lesson 1.dat", "first");
    const QString backup = folder.backupFolder() + "Lesson 1(清除记录前备份) .dat";

    struct Case {
        QByteArray unitBytes;
        RecordClearing::Backup backup;
        QByteArray backupBytes;
    };
    const Case cases[] = {
        {"first", RecordClearing::Backup::Written, "first"},
        {"second", RecordClearing::Backup::KeptEarlier, "first"}, // the first backup stays
    };
    for (const Case& c : cases) {
        dir.write("Data/Lesson 1.dat", c.unitBytes);
        SentenceTable table;
        studied(table);
        state.unitModified = false;
        const RecordClearing result = clearUnitRecord(folder, state, table);
        EXPECT_EQ(result.backup, c.backup);
        EXPECT_TRUE(result.cleared);
        EXPECT_EQ(result.backupPath, backup);
        EXPECT_EQ(contents(backup), c.backupBytes);
        EXPECT_TRUE(state.unitModified);
        for (int row = 0; row < table.rowCount(); ++row) {
            EXPECT_EQ(table.field(row, Done), "0");
            EXPECT_EQ(table.field(row, Level), "0");
            EXPECT_EQ(table.field(row, StudiedAt), "20140101010101");
        }
        EXPECT_EQ(table.field(1, Text), "Hello");
        EXPECT_EQ(table.field(1, StartMs), "1000");
        EXPECT_EQ(table.field(1, MediaPath), "..");
    }
}

TEST(RecordClearing, FailedBackupLeavesTheRecord)
{
    FileFolder dir;
    const ProgramFolder folder{dir.path("") + "/"};
    QDir().mkpath(folder.dataFolder());
    dir.write("Backup", "a file where the Backup folder should be");
    StudyState state;
    state.unitFilePath = dir.write("Data/Lesson.dat", "bytes");
    SentenceTable table;
    studied(table);
    const RecordClearing result = clearUnitRecord(folder, state, table);
    EXPECT_EQ(result.backup, RecordClearing::Backup::Failed);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_FALSE(result.cleared);
    EXPECT_FALSE(state.unitModified);
    EXPECT_EQ(table.field(1, Level), "4");
}

TEST(RecordClearing, AUnitNeverSavedIsClearedWithoutBackup)
{
    FileFolder dir;
    StudyState state;
    state.unitFilePath = dir.path("Data/New.dat");
    SentenceTable table;
    studied(table);
    const RecordClearing result = clearUnitRecord({dir.path("") + "/"}, state, table);
    EXPECT_EQ(result.backup, RecordClearing::Backup::NoUnitFile);
    EXPECT_TRUE(result.cleared);
    EXPECT_EQ(table.field(1, Done), "0");
}
