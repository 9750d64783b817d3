// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/record_clearing.h"

#include "core/import/test_files.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace dictora;
using dictora::test::FileFolder;

namespace {

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
