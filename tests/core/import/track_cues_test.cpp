// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/track_cues.h"

#include "support/print_qstring.h"

#include <gtest/gtest.h>

using namespace dictora;

TEST(TrackCues, ReadsEachCodecsPayloadAsLines)
{
    struct Case {
        SubtitleCodec codec;
        const char* payload;
        QStringList lines;
    };
    const Case cases[] = {
        {SubtitleCodec::SubRip, "<i>Hello</i> &amp; bye\n你好", {"Hello & bye", "你好"}},
        {SubtitleCodec::MovText, "Plain line\n\n", {"Plain line"}},
        {SubtitleCodec::WebVtt, "<v Tom>Hi</v> <c.loud>there</c>", {"Hi there"}},
        {SubtitleCodec::Ass,
         "3,0,Default,,0,0,0,,{\\i1}Hi{\\i0}, you\\Nthere",
         {"Hi, you", "there"}},
        {SubtitleCodec::Ass, "no commas here", {"no commas here"}},
        {SubtitleCodec::SubRip, "  \n ", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.payload);
        EXPECT_EQ(cueLines(c.codec, QString::fromUtf8(c.payload)), c.lines);
    }
}

TEST(TrackCues, CuesBecomeTimedRowsInTimeOrder)
{
    const SentenceRow blank{};
    const ParsedRows rows =
        rowsFromCues({{3000, 4567, "Second"}, {1234, 2345, "First\n第一"}, {5000, 6000, " "}},
                     SubtitleCodec::SubRip, blank);
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[0][StartMs], "1234");
    EXPECT_EQ(rows.rows[0][EndMs], "2345");
    EXPECT_EQ(rows.rows[0][Text], " First"); // each line after a blank, as in subtitle files
    EXPECT_EQ(rows.rows[0][Text2], " 第一");
    EXPECT_EQ(rows.rows[1][StartMs], "3000");
    EXPECT_EQ(rows.rows[1][Text], " Second");
}

TEST(TrackCues, SecondTrackGoesToTheRowItOverlapsMost)
{
    const SentenceRow blank{};
    struct Case {
        const char* what;
        std::vector<SubtitleCue> second;
        QStringList text2;
    };
    // Sentences at 1000-2000, 2000-4000 and 5000-6000.
    const Case cases[] = {
        {"one each",
         {{1010, 1990, "一"}, {2005, 3990, "二"}, {4990, 6010, "三"}},
         {" 一", " 二", " 三"}},
        {"the larger overlap wins", {{1500, 3000, "跨"}}, {"", " 跨", ""}},
        {"an equal overlap goes to the first", {{1500, 2500, "半"}}, {" 半", "", ""}},
        {"two cues in one sentence", {{2000, 3000, "甲"}, {3000, 4000, "乙"}}, {"", " 甲 乙", ""}},
        {"no overlap is dropped", {{4000, 5000, "无"}, {7000, 8000, "后"}}, {"", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ParsedRows rows =
            rowsFromCues({{1000, 2000, "one"}, {2000, 4000, "two"}, {5000, 6000, "three"}},
                         SubtitleCodec::SubRip, blank);
        pairSecondTrack(rows, c.second, SubtitleCodec::SubRip);
        QStringList text2;
        for (const SentenceRow& row : rows.rows)
            text2 << row[Text2];
        EXPECT_EQ(text2, c.text2);
    }
}

TEST(TrackCues, MendsTheCapitalIThatOcrReadsAsABar)
{
    const std::pair<const char*, const char*> cases[] = {
        {"| like tea.", "I like tea."}, {"|'m here, and | know.", "I'm here, and I know."},
        {"\"|\" said", "\"I\" said"},   {"a|b stays", "a|b stays"},
        {"no bar", "no bar"},
    };
    for (const auto& [read, mended] : cases)
        EXPECT_EQ(mendOcrLine(read), mended) << read;
}
