// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/choice_notes.h"

#include "core/import/test_files.h"

#include <gtest/gtest.h>

using namespace dictora;
using dictora::test::FileFolder;

TEST(ChoiceNotes, NamesTheChosenFilesAndNothingBeforeAChoice)
{
    SectionChoice choice;
    EXPECT_EQ(chosenFilesLine(choice), "");
    choice.textPath = "/d/Lesson 1.srt";
    choice.textChosen = true;
    EXPECT_EQ(chosenFilesLine(choice), "文本: Lesson 1.srt");
    choice.mediaPath = "/d/Lesson 1.mp3";
    choice.mediaChosen = true;
    EXPECT_EQ(chosenFilesLine(choice), "文本: Lesson 1.srt    影音: Lesson 1.mp3");
}

TEST(ChoiceNotes, TagLinesAndMarkupSuggestTheTidyReading)
{
    FileFolder folder;
    const struct {
        const char* name;
        const char* text;
        bool tagged;
    } files[] = {
        {"plain.lrc", "[00:01.00]Hello there\n[00:02.50]Good  morning\n", false},
        {"title.lrc", "[ti:A Song]\n[ar:Someone]\n[00:01.00]Hello\n", true},
        {"words.lrc", "[00:01.00]<00:01.20>Hello <00:01.60>there\n", true},
        {"italic.srt", "1\n00:00:01,000 --> 00:00:02,000\n<i>Hello</i>\n", true},
        {"ass.srt", "1\n00:00:01,000 --> 00:00:02,000\n{\\an8}Hello\n", true},
        {"entity.srt", "1\n00:00:01,000 --> 00:00:02,000\nTom &amp; Jerry\n", true},
        {"plain.srt", "1\n00:00:01,000 --> 00:00:02,000\nTom & Jerry <3\n", false},
        {"plain.txt", "第一句。\n第二句!\n", false},
    };
    for (const auto& f : files)
        EXPECT_EQ(textHasTagsOrMarkup(folder.write(f.name, f.text)), f.tagged) << f.name;
    EXPECT_FALSE(textHasTagsOrMarkup(folder.path("missing.lrc")));
    EXPECT_TRUE(tidySuggestion(true, false).contains("整理歌词与字幕标签"));
    EXPECT_EQ(tidySuggestion(true, true), "");
    EXPECT_EQ(tidySuggestion(false, false), "");
}

TEST(ChoiceNotes, ATextWithoutTimesSuggestsTheAlignment)
{
    FileFolder folder;
    EXPECT_FALSE(textHasTimes(folder.write("plain.txt", "First.\nSecond.\n")));
    EXPECT_TRUE(textHasTimes(folder.write("later.txt", "Title\n[00:04.00]Then a time\n")));
    EXPECT_TRUE(alignmentSuggestion(false, true, false).contains("自动对齐时间"));
    EXPECT_EQ(alignmentSuggestion(false, true, true) + alignmentSuggestion(false, false, false) +
                  alignmentSuggestion(true, true, false),
              "");
}
