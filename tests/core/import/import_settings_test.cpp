// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/import_settings.h"

#include "core/import/test_files.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace dictora;
using dictora::test::FileFolder;

TEST(TidyReading, IsRememberedInTheProgramFolder)
{
    FileFolder folder;
    ProgramFolder home{withTrailingSlash(folder.path("home"))};
    ASSERT_TRUE(QDir().mkpath(home.cfgFolder()));
    EXPECT_FALSE(loadTidyReading(home)); // off until chosen
    EXPECT_TRUE(saveTidyReading(home, true));
    EXPECT_TRUE(loadTidyReading(home));
    EXPECT_TRUE(saveTidyReading(home, false));
    EXPECT_FALSE(loadTidyReading(home));
}

TEST(TidyReading, AFailedWriteIsReported)
{
    FileFolder folder;
    folder.write("Cfg", "a file where the folder should be");
    const ProgramFolder home{withTrailingSlash(folder.path(""))};
    EXPECT_FALSE(saveTidyReading(home, true));
    EXPECT_FALSE(loadTidyReading(home));
}

TEST(LastFolder, IsKeptInCfgAndFallsBackToHome)
{
    FileFolder folder;
    ProgramFolder home{withTrailingSlash(folder.path("home"))};
    ASSERT_TRUE(QDir().mkpath(home.cfgFolder()));
    EXPECT_EQ(loadLastFolder(home), QDir::homePath()); // nothing chosen yet
    const QString lesson = folder.write("Lesson 1.srt", "");
    EXPECT_TRUE(saveLastFolder(home, lesson));
    EXPECT_EQ(loadLastFolder(home), QFileInfo(lesson).absolutePath());
    EXPECT_TRUE(saveTidyReading(home, true)); // one file, both kept
    EXPECT_EQ(loadLastFolder(home), QFileInfo(lesson).absolutePath());
    EXPECT_TRUE(saveLastFolder(home, folder.path("gone/x.mp3")));
    EXPECT_EQ(loadLastFolder(home), QDir::homePath()); // a folder that is gone
}
