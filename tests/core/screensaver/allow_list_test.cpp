// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/screensaver/allow_list.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(AllowList, ReadsTrimmedLowerCasedLinesAndSkipsEmptyOnes)
{
    const AllowList list = AllowList::fromText("  XTerm \r\n\r\n\tKeePassXC\n   \n词典\n");
    EXPECT_EQ(list.patterns(), QStringList({"xterm", "keepassxc", "词典"}));
}

TEST(AllowList, KeepsAHundredPatterns)
{
    QByteArray text;
    for (int i = 0; i <= AllowList::kSlots; ++i)
        text += "app" + QByteArray::number(i) + "\n";
    const AllowList list = AllowList::fromText(text);
    ASSERT_EQ(list.patterns().size(), AllowList::kSlots);
    EXPECT_EQ(list.patterns().last(), "app99");
    EXPECT_TRUE(list.restIgnored());
}

// A damaged or hostile file: only its first megabyte and first 10,000 lines
// are read, and the learner is told that the rest was not.
TEST(AllowList, ReadsOnlyTheHeadOfALargeFile)
{
    struct Case {
        const char* name;
        QByteArray text;
        QStringList patterns;
        bool restIgnored;
    };
    const QByteArray blankLines(AllowList::kMostLines - 2, '\n');
    const QByteArray megabyte(AllowList::kLargestFile - 4, ' ');
    const Case cases[] = {
        {"a short file", "xterm\n\ngoldendict", {"xterm", "goldendict"}, false},
        {"10,000 lines", "xterm" + blankLines + "\ngoldendict", {"xterm", "goldendict"}, false},
        {"the 10,001st line",
         "xterm" + blankLines + "\ngoldendict\nfirefox",
         {"xterm", "goldendict"},
         true},
        {"one megabyte", megabyte + "\nab\n", {"ab"}, false},
        {"a line cut at the megabyte", megabyte + "\nabc\nd", {}, true},
        {"beyond the megabyte", megabyte + "\nab\ncd", {"ab"}, true},
    };
    QTemporaryDir cfg;
    for (const Case& c : cases) {
        const QString path = cfg.filePath("App.ini");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(c.text), c.text.size());
        file.close();
        const AllowList list = AllowList::load(path);
        EXPECT_EQ(list.patterns(), c.patterns) << c.name;
        EXPECT_EQ(list.restIgnored(), c.restIgnored) << c.name;
    }
    // Anything but a file is no list (a pipe would never end).
    EXPECT_TRUE(AllowList::load(cfg.path()).patterns().isEmpty());
}

TEST(AllowList, AMissingFileAllowsNothing)
{
    QTemporaryDir cfg;
    const AllowList list = AllowList::load(cfg.filePath("App.ini"));
    EXPECT_TRUE(list.patterns().isEmpty());
    EXPECT_FALSE(list.allows("xterm", "XTerm", "bash"));
}

TEST(AllowList, MatchesAPieceOfTheExecutableClassOrTitle)
{
    struct Case {
        const char* name;
        QString executable, className, title;
        bool allowed;
    };
    const AllowList list = AllowList::fromText("xterm\nkeepass\n英汉词典\n");
    const Case cases[] = {
        {"executable", "xterm", "UXTerm", "bash", true},
        {"class, any case", "kp", "KeePassXC", "Passwords", true},
        {"title", "goldendict", "GoldenDict", "英汉词典 - apple", true},
        {"no pattern anywhere", "firefox-esr", "firefox-esr", "News", false},
        {"the separator is not a wildcard", "x", "term", "", false},
        {"no class and no title", "firefox-esr", "", "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.allows(c.executable, c.className, c.title), c.allowed) << c.name;
}

} // namespace
} // namespace dictora
