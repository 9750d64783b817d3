#include "core/screensaver/allow_list.h"

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
