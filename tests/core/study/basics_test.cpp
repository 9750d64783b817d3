// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/number_text.h"
#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;

TEST(NumberText, ConvertsLeadingDigitsLikeTheCLibrary)
{
    EXPECT_EQ(textToInt("42"), 42);
    EXPECT_EQ(textToInt("  -7x"), -7);
    EXPECT_EQ(textToInt("12abc"), 12);
    EXPECT_EQ(textToInt("abc"), 0);
    EXPECT_EQ(textToInt(""), 0);
    EXPECT_EQ(textToUInt("4294967295"), 4294967295u);
    EXPECT_EQ(textToInt("4294967295"), -1); // a 32-bit store wraps
    EXPECT_EQ(uintText(4294967295u), "4294967295");
}

TEST(SentenceTable, TitleRowIsExactlyKindZero)
{
    SentenceTable table;
    table.appendRow(makeTitleRow("标题"));
    table.appendRow(makeSentenceRow());
    SentenceRow odd = makeSentenceRow();
    odd[Kind] = "00";
    table.appendRow(odd);
    EXPECT_TRUE(table.isTitleRow(0));
    EXPECT_FALSE(table.isTitleRow(1));
    EXPECT_FALSE(table.isTitleRow(2));
    EXPECT_FALSE(table.removeRows(2, 2)); // past the end: nothing removed
    EXPECT_FALSE(table.removeRows(-1, 1));
    EXPECT_TRUE(table.removeRows(0, 2));
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.field(0, Kind), "00");
}

TEST(ProgramFolder, CreatesMissingFoldersAndLeavesAFileInTheWay)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile blocker(dir.filePath("Data"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a folder");
    blocker.close();

    qputenv("DICTORA_HOME", dir.path().toUtf8());
    const ProgramFolder folder = locateProgramFolder({});
    qunsetenv("DICTORA_HOME");
    EXPECT_EQ(folder.path, dir.path() + "/");

    const QStringList created = createDataFolders(folder);
    EXPECT_EQ(created, QStringList({"Backup", "Cfg", "Record", "Media"}));
    EXPECT_TRUE(QFileInfo(folder.file("Data")).isFile());
    EXPECT_TRUE(createDataFolders(folder).isEmpty());
}

TEST(ProgramFolder, PortableCopyBesideTheExecutableWins)
{
    QTemporaryDir exeDir, xdg;
    QDir(exeDir.path()).mkdir("Data");
    qputenv("XDG_DATA_HOME", xdg.path().toUtf8());
    EXPECT_EQ(locateProgramFolder(exeDir.path()).path, exeDir.path() + "/");
    QDir(exeDir.path()).rmdir("Data");
    EXPECT_EQ(locateProgramFolder(exeDir.path()).path, xdg.path() + "/dictora/");
    qunsetenv("XDG_DATA_HOME");
}
