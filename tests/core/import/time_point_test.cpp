// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/script_rule.h"
#include "core/import/time_point.h"

#include <gtest/gtest.h>

using namespace dictora;

TEST(ParseTimePoint, ReadsSecondsFractionMinutesAndHours)
{
    EXPECT_EQ(ParseTimePoint("12"), 12000u);
    EXPECT_EQ(ParseTimePoint("01:02.03"), 62030u);
    EXPECT_EQ(ParseTimePoint("01:02.345"), 62345u);
    EXPECT_EQ(ParseTimePoint("01:02.5"), 62005u); // one digit counts as milliseconds
    EXPECT_EQ(ParseTimePoint("01:02.1234"), 63234u);
    EXPECT_EQ(ParseTimePoint("01:02."), 62000u);
    EXPECT_EQ(ParseTimePoint("00:01:02,500"), 62500u);
    EXPECT_EQ(ParseTimePoint(" 00:01:05,000"), 65000u); // as cut beside "-->"
    EXPECT_EQ(ParseTimePoint("00:01:02,500 "), 62500u);
    EXPECT_EQ(ParseTimePoint("1:2:3.04"), (3600u + 120 + 3) * 1000 + 40);
    // Only the last three fields count.
    EXPECT_EQ(ParseTimePoint("1:2:3:4.5"), (2u * 3600 + 3 * 60 + 4) * 1000 + 5);
    // Empty fields count as 0.
    EXPECT_EQ(ParseTimePoint(""), 0u);
    EXPECT_EQ(ParseTimePoint(":30"), 30000u);
}

TEST(ParseTimePoint, IsZeroForAnythingButATime)
{
    EXPECT_EQ(ParseTimePoint("ti:Title"), 0u);
    EXPECT_EQ(ParseTimePoint("01:02.3x"), 0u); // two-character fraction must be digits
    EXPECT_EQ(ParseTimePoint("0a:02.30"), 0u);
    EXPECT_EQ(ParseTimePoint("x:01:02.30"), 0u);
    EXPECT_EQ(ParseTimePoint("1.2.3"), 0u);
    EXPECT_EQ(ParseTimePoint("-1:00"), 0u);
}

TEST(ParseTimePoint, HugeNumbersStopAtTheLargestStoredTime)
{
    EXPECT_EQ(ParseTimePoint("99999999999999999999:00:00"), 4294967295u);
    EXPECT_EQ(ParseTimePoint("00:00.99999999999999999999"), 4294967295u);
    EXPECT_EQ(ParseTimePoint("1193:02:47.295"), 4294967295u);
    EXPECT_EQ(ParseTimePoint("1193:02:47.294"), 4294967294u);
}

TEST(IsAllDigits, TrimsAndAcceptsTheEmptyText)
{
    EXPECT_TRUE(IsAllDigits("2014"));
    EXPECT_TRUE(IsAllDigits(" 12\t"));
    EXPECT_TRUE(IsAllDigits(""));
    EXPECT_TRUE(IsAllDigits("   "));
    EXPECT_FALSE(IsAllDigits("12a"));
    EXPECT_FALSE(IsAllDigits("1 2"));
    EXPECT_FALSE(IsAllDigits("-1"));
    EXPECT_FALSE(IsAllDigits(QStringLiteral("１２"))); // full-width digits
}

TEST(ClassifyScript, CountsNarrowAndWideUnitsWithoutBlanks)
{
    EXPECT_EQ(ClassifyScript("Hello world", false), ScriptNarrow);
    EXPECT_EQ(ClassifyScript("你好", false), ScriptWide);
    EXPECT_EQ(ClassifyScript("Hi 你好", false), ScriptUndecided);
    EXPECT_EQ(ClassifyScript("   ", false), ScriptUndecided);
    EXPECT_EQ(ClassifyScript("\t你好", false), ScriptUndecided);          // tab is narrow
    EXPECT_EQ(ClassifyScript(QStringLiteral("　你"), false), ScriptWide); // full-width blank
    EXPECT_EQ(ClassifyScript(QStringLiteral("café"), false), ScriptNarrow);

    EXPECT_EQ(ClassifyScript("Hi 你好", true), ScriptUndecided); // 2 against 2
    EXPECT_EQ(ClassifyScript("Hello 你好", true), ScriptNarrow);
    EXPECT_EQ(ClassifyScript("OK 你好吗", true), ScriptWide);
    EXPECT_EQ(ClassifyScript("", true), ScriptUndecided);
}

TEST(ClassifyScriptByUnicode, ReadsCharactersOutsideTheBasicPlaneWhole)
{
    // U+20000 (CJK Extension B) and U+10400 (Deseret) are surrogate pairs; a
    // pair must be classified as one character, never by one of its halves.
    const QString extensionB = QString::fromUcs4(U"\U00020000\U00020001");
    const QString deseret = QString::fromUcs4(U"\U00010400\U00010401");
    EXPECT_EQ(ClassifyScriptByUnicode(extensionB, false), ScriptWide);
    EXPECT_EQ(ClassifyScriptByUnicode(deseret, false), ScriptNarrow);
    EXPECT_EQ(ClassifyScriptByUnicode(QStringLiteral("ab ") + extensionB + extensionB, true),
              ScriptWide);
    // A lone high surrogate at the end is no character of any script.
    EXPECT_EQ(ClassifyScriptByUnicode(QString(QChar(0xD840)), false), ScriptUndecided);
}

TEST(SubtitleLineSorter, FirstSingleScriptLineFixesThePrimaryScript)
{
    SubtitleLineSorter sorter;
    QString text, text2;
    sorter.place("Hi 你好", text, text2); // mixed: undecided, goes to text
    EXPECT_EQ(sorter.primaryScript(), ScriptUndecided);
    sorter.place("你好", text, text2);
    EXPECT_EQ(sorter.primaryScript(), ScriptWide);
    sorter.place("Thanks", text, text2);
    sorter.place("Hi 你", text, text2); // majority rule now: wide is outnumbered
    sorter.place("a 你", text, text2);  // a tie goes with the primary wide script to text2
    EXPECT_EQ(text, " Hi 你好 你好");
    EXPECT_EQ(text2, " Thanks Hi 你 a 你");
}
