// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/section_media.h"

#include "core/study/study_state.h"

#include <gtest/gtest.h>

using namespace dictora;

namespace {

void twoSections(SentenceTable& table)
{
    table.appendRow(makeTitleRow("标题"));
    table.appendRow(makeSentenceRow());
    table.appendRow(makeSentenceRow());
    table.appendRow(makeTitleRow("Real title"));
    table.appendRow(makeSentenceRow());
}

} // namespace

TEST(SectionMedia, FindsTheTitleRowOfAnyRow)
{
    SentenceTable table;
    table.appendRow(makeSentenceRow()); // before the first title row
    table.appendRow(makeTitleRow("A"));
    table.appendRow(makeSentenceRow());
    EXPECT_EQ(sectionTitleRow(table, 0), kNone);
    EXPECT_EQ(sectionTitleRow(table, 1), 1);
    EXPECT_EQ(sectionTitleRow(table, 2), 1);
    EXPECT_EQ(sectionTitleRow(table, 3), kNone);
    EXPECT_EQ(sectionTitleRow(table, kNone), kNone);
}

TEST(SectionMedia, PlaceholderTitleGivesWayRealTitleStays)
{
    SentenceTable table;
    twoSections(table);
    EXPECT_EQ(attachSectionMedia(table, 0, "标题", "/m/Song Two.mp3", 3723000), 0);
    EXPECT_EQ(table.field(0, SectionTitle), "Song Two");
    EXPECT_EQ(table.field(0, MediaPath), "/m/Song Two.mp3");
    EXPECT_EQ(table.field(0, MediaName), "Song Two.mp3");
    EXPECT_EQ(table.field(0, MediaLengthMs), "3723000");
    EXPECT_EQ(attachSectionMedia(table, 3, "lesson", "/m/x.wav", 0), 3);
    EXPECT_EQ(table.field(3, SectionTitle), "Real title");
    EXPECT_EQ(table.field(3, MediaName), "x.wav");
    EXPECT_EQ(table.field(1, MediaPath), ""); // sentences follow only when copied down
}

TEST(SectionMedia, WithoutSectionANewTitleRowIsAppended)
{
    SentenceTable table;
    twoSections(table);
    EXPECT_EQ(attachSectionMedia(table, kNone, "", "/m/film.mkv", 5000), 5);
    EXPECT_TRUE(table.isTitleRow(5));
    EXPECT_EQ(table.field(5, SectionTitle), "film");
    EXPECT_EQ(table.field(5, StudiedAt), "20140101010101");
    EXPECT_EQ(table.field(5, MediaLengthMs), "5000");
}

TEST(SectionMedia, CopiesTitleAndMediaIntoTheSectionsSentencesOnly)
{
    SentenceTable table;
    twoSections(table);
    attachSectionMedia(table, 0, "Song", "/m/song.mp3", 1000);
    copySectionFields(table, 0);
    for (int row : {1, 2}) {
        EXPECT_EQ(table.field(row, SectionTitle), "Song");
        EXPECT_EQ(table.field(row, MediaPath), "/m/song.mp3");
        EXPECT_EQ(table.field(row, MediaName), "song.mp3");
        EXPECT_EQ(table.field(row, MediaLengthMs), "1000");
    }
    EXPECT_EQ(table.field(3, MediaPath), "");
    EXPECT_EQ(table.field(4, SectionTitle), "");
}
