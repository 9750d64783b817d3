// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/section_choice.h"

#include "core/import/test_files.h"

#include <gtest/gtest.h>

using namespace dictora;
using dictora::test::FileFolder;

namespace {

SentenceRow titleWithMedia(const QString& title, const QString& mediaPath, const QString& name)
{
    SentenceRow row = makeTitleRow(title);
    row[MediaPath] = mediaPath;
    row[MediaName] = name;
    return row;
}

} // namespace

TEST(LengthFields, ShowHoursOfTheDayMinutesAndSecondsAndReadBack)
{
    struct Case {
        int64_t ms;
        const char* h;
        const char* m;
        const char* s;
    };
    const Case cases[] = {
        {3723000, "01", "02", "03"}, {0, "00", "00", "00"},        {-1000, "00", "00", "00"},
        {59999, "00", "00", "59"},   {90061000, "01", "01", "01"}, // a day and more wraps
    };
    for (const Case& c : cases) {
        const LengthFields f = lengthFieldsFor(c.ms);
        EXPECT_EQ(f.hours, c.h) << c.ms;
        EXPECT_EQ(f.minutes, c.m) << c.ms;
        EXPECT_EQ(f.seconds, c.s) << c.ms;
    }
    struct Back {
        LengthFields f;
        uint32_t ms;
    };
    const Back backs[] = {
        {{"1", "2", "3"}, 3723000},
        {{"", "", ""}, 0},
        {{"00", "90", "75"}, 5475000}, // fields are not limited to their clock range
        {{"99999999999", "0", "0"}, 4294967295u},
    };
    for (const Back& b : backs)
        EXPECT_EQ(lengthFromFields(b.f), b.ms) << b.f.hours.toStdString();
}

TEST(SectionChoice, ChosenFileTakesItsCompanionByKindAndTarget)
{
    FileFolder folder;
    const QString songMp3 = folder.write("song.mp3", "");
    const QString songLrc = folder.write("song.lrc", "");
    const QString talkWav = folder.write("talk.wav", "");
    const QString alone = folder.write("alone.srt", "");

    SentenceTable table;
    table.appendRow(makeTitleRow("标题"));   // 0: placeholder title, with a sentence
    table.appendRow(makeSentenceRow());      // 1
    table.appendRow(makeTitleRow("Lesson")); // 2: real title, with a sentence
    table.appendRow(makeSentenceRow());      // 3
    table.appendRow(makeTitleRow("Empty"));  // 4: real title, no sentences

    struct Case {
        const char* what;
        int target;
        QString path;
        bool companions;
        bool accepted;
        int targetAfter;
        QString text;
        QString media;
    };
    const Case cases[] = {
        {"media finds its lyric", kNone, songMp3, true, true, kNone, songLrc, songMp3},
        {"lyric finds its media", kNone, songLrc, true, true, kNone, songLrc, songMp3},
        {"no search, no companion", kNone, songMp3, false, true, kNone, "", songMp3},
        {"companion of the wrong kind", kNone, talkWav, true, true, kNone, "", talkWav},
        {"no companion at all", kNone, alone, true, true, kNone, alone, ""},
        {"sentence row becomes a new Section", 1, songLrc, true, true, kNone, songLrc, songMp3},
        {"titled Section with sentences keeps its text", 2, songMp3, true, true, 2, "", songMp3},
        {"placeholder Section takes the text", 0, songMp3, true, true, 0, songLrc, songMp3},
        {"empty Section takes the text", 4, songMp3, true, true, 4, songLrc, songMp3},
        {"other kind is ignored", 4, folder.write("notes.doc", ""), true, false, 4, "", ""},
    };
    for (const Case& c : cases) {
        SectionChoice choice;
        choice.targetRow = c.target;
        EXPECT_EQ(applyChosenFile(table, choice, c.path, c.companions), c.accepted) << c.what;
        EXPECT_EQ(choice.targetRow, c.targetAfter) << c.what;
        EXPECT_EQ(choice.textPath, c.text) << c.what;
        EXPECT_EQ(choice.textChosen, !c.text.isEmpty()) << c.what;
        EXPECT_EQ(choice.mediaPath, c.media) << c.what;
        EXPECT_EQ(choice.mediaChosen, !c.media.isEmpty()) << c.what;
    }
}

TEST(SectionChoice, CompanionNeverReplacesAFileTheLearnerPicked)
{
    FileFolder folder;
    const QString lyric = folder.write("lesson.lrc", "");
    const QString subtitles = folder.write("lesson.srt", "");
    const QString audio = folder.write("lesson.wav", "");
    const QString other = folder.write("other.mp3", "");
    const QString otherLyric = folder.write("other.lrc", "");
    SentenceTable table;

    // The subtitles first, then the audio: lesson.lrc lies beside the audio,
    // but the learner's subtitles stay.
    SectionChoice choice;
    applyChosenFile(table, choice, subtitles, true);
    applyChosenFile(table, choice, audio, true);
    EXPECT_EQ(choice.textPath, subtitles);
    EXPECT_EQ(choice.mediaPath, audio);

    // The audio first, then another text: the audio stays.
    choice = {};
    applyChosenFile(table, choice, other, true);
    EXPECT_EQ(choice.textPath, otherLyric); // found beside it
    applyChosenFile(table, choice, lyric, true);
    EXPECT_EQ(choice.textPath, lyric);
    EXPECT_EQ(choice.mediaPath, other);

    // A text that was only found, not picked, follows the media chosen next.
    choice = {};
    applyChosenFile(table, choice, other, true);
    applyChosenFile(table, choice, audio, true);
    EXPECT_EQ(choice.mediaPath, audio);
    EXPECT_EQ(choice.textPath, lyric);
}

TEST(SectionChoice, FieldsShowTitleMediaAndWhereItLives)
{
    FileFolder folder;
    const UnitMediaFolder media{{folder.path("") + "/"}, "Unit A"};
    ASSERT_TRUE(QDir().mkpath(media.path()));
    folder.write("Media/Unit A/copied.mp3", "");
    const QString outside = folder.write("outside.mp3", "");
    const QString lyric = folder.write("Lesson 1.lrc", "");

    SentenceTable table;
    table.appendRow(titleWithMedia("Copied", "..", "copied.mp3"));            // 0
    table.appendRow(titleWithMedia("Outside", outside, "outside.mp3"));       // 1
    table.appendRow(titleWithMedia("Gone", folder.path("gone.mp3"), "gone")); // 2
    table.appendRow(titleWithMedia("标题", "", ""));                          // 3

    struct Case {
        const char* what;
        int row;
        QString text;
        bool copy;
        bool found;
    };
    const Case opening[] = {
        {"Media folder form", 0, ".. /Media/Unit A/copied.mp3", true, true},
        {"full path", 1, outside, false, true},
        {"missing file", 2, "文件不存在", false, false},
        {"no media: nothing is missing", 3, "", false, false},
    };
    for (const Case& c : opening) {
        const SectionView view = openingView(table, c.row, media);
        EXPECT_EQ(view.title, table.field(c.row, SectionTitle)) << c.what;
        EXPECT_EQ(view.mediaText, c.text) << c.what;
        EXPECT_EQ(view.copyChecked, c.copy) << c.what;
        EXPECT_EQ(view.mediaFound, c.found) << c.what;
    }

    struct Chosen {
        const char* what;
        SectionChoice choice;
        QString title;
        QString text;
        bool found;
    };
    const Chosen chosen[] = {
        {"text names the Section", {3, lyric, true, outside, true}, "Lesson 1", outside, true},
        {"media names a placeholder", {3, {}, false, outside, true}, "outside", outside, true},
        {"real title stays", {0, {}, false, outside, true}, "Copied", outside, true},
        {"stored media shown",
         {0, lyric, true, {}, false},
         "Lesson 1",
         ".. /Media/Unit A/copied.mp3",
         true},
        {"new Section without media", {kNone, lyric, true, {}, false}, "Lesson 1", "", false},
        {"chosen file gone",
         {kNone, {}, false, folder.path("x.mp3"), true},
         "x",
         "文件不存在",
         false},
    };
    for (const Chosen& c : chosen) {
        const SectionView view = chosenFileView(table, c.choice, media);
        EXPECT_EQ(view.title, c.title) << c.what;
        EXPECT_EQ(view.caption(), c.title + " - 配置") << c.what;
        EXPECT_EQ(view.mediaText, c.text) << c.what;
        EXPECT_EQ(view.mediaFound, c.found) << c.what;
    }

    // The copy box stands for the file in the Media folder, not for its shown form.
    EXPECT_EQ(mediaPathFromField(".. /Media/Unit A/copied.mp3", table, 0, media),
              media.filePath("copied.mp3"));
    EXPECT_EQ(mediaPathFromField(outside, table, 1, media), outside);
}

TEST(SectionChoice, DroppedFilesFillAnEmptyUntitledSectionAtTheEnd)
{
    const struct {
        std::vector<SentenceRow> rows;
        int currentRow, target;
    } cases[] = {
        {{makeTitleRow("Lesson"), makeSentenceRow()}, 0, 0},
        {{makeTitleRow("Lesson"), makeSentenceRow()}, 1, kNone},
        {{makeTitleRow("Lesson"), makeSentenceRow(), makeTitleRow("")}, 1, 2},
        {{titleWithMedia("", "/m/a.mp3", "a.mp3")}, kNone, kNone},
    };
    for (const auto& c : cases) {
        SentenceTable table;
        for (const SentenceRow& row : c.rows)
            table.appendRow(row);
        EXPECT_EQ(droppedFileTarget(table, c.currentRow), c.target) << c.rows.size();
    }
}
