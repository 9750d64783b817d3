// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/section_confirmation.h"

#include "core/import/content_change_question.h"
#include "core/import/test_files.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace dictora;
using dictora::test::FileFolder;

namespace {

struct Answer : ContentChangeQuestion {
    ContentChangeChoice ask() override { return ContentChangeChoice::Cancel; }
};

struct Confirming : ::testing::Test {
    FileFolder folder;
    UnitMediaFolder media{{folder.path("") + "/"}, "Unit A"};
    SentenceTable table;
    StudyState state;
    Answer answer;

    SectionConfirmationOutcome confirm(SectionChoice choice, const QString& title = {},
                                       uint32_t lengthMs = 0, bool copy = false)
    {
        return confirmSection(table, state, {choice, title, lengthMs, copy}, media, answer);
    }
};

} // namespace

TEST_F(Confirming, CopyIntoTheMediaFolderNeverOverwrites)
{
    const QString song = folder.write("song.mp3", "new bytes");
    struct Case {
        const char* what;
        QByteArray already; // empty: no file there yet
        MediaCopyOutcome::Status status;
        QByteArray after;
    };
    const Case cases[] = {
        {"copied", {}, MediaCopyOutcome::Status::Copied, "new bytes"},
        {"same name there", "old bytes", MediaCopyOutcome::Status::AlreadyThere, "old bytes"},
    };
    for (const Case& c : cases) {
        QDir(media.path()).removeRecursively();
        table.clear();
        if (!c.already.isEmpty()) {
            QDir().mkpath(media.path());
            folder.write("Media/Unit A/song.mp3", c.already);
        }
        const auto outcome = confirm({kNone, {}, false, song, true}, {}, 0, true);
        EXPECT_EQ(outcome.copy.status, c.status) << c.what;
        EXPECT_EQ(outcome.copy.destination, media.filePath("song.mp3")) << c.what;
        QFile copy(media.filePath("song.mp3"));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly)) << c.what;
        EXPECT_EQ(copy.readAll(), c.after) << c.what;
        EXPECT_EQ(table.field(0, MediaPath), "..") << c.what;
        EXPECT_EQ(table.field(0, SectionTitle), "song") << c.what;
    }
}

TEST_F(Confirming, FailedCopyKeepsTheFullPathAndSaysWhy)
{
    const QString song = folder.write("song.mp3", "bytes");
    folder.write("Media", "a file in the way of the folder");
    const auto outcome = confirm({kNone, {}, false, song, true}, {}, 0, true);
    EXPECT_EQ(outcome.copy.status, MediaCopyOutcome::Status::Failed);
    EXPECT_FALSE(outcome.copy.error.isEmpty());
    EXPECT_EQ(table.field(0, MediaPath), song);
}

TEST_F(Confirming, NoFileChosenRenamesTheSectionAndItsSentences)
{
    table.appendRow(makeTitleRow("Old"));
    table.appendRow(makeSentenceRow());
    table.appendRow(makeTitleRow("Next"));
    table.appendRow(makeSentenceRow());
    confirm({0, {}, false, {}, false}, "Renamed", 60000);
    EXPECT_EQ(table.field(0, SectionTitle), "Renamed");
    EXPECT_EQ(table.field(1, SectionTitle), "Renamed");
    EXPECT_EQ(table.field(1, MediaLengthMs), "60000");
    EXPECT_EQ(table.field(3, SectionTitle), "");
    EXPECT_TRUE(state.unitModified);
}

TEST_F(Confirming, RefusedTextStillAttachesTheMedia)
{
    const QString text = folder.write("big.txt", QByteArray("\xFE\xFF\0A", 4));
    const QString song = folder.write("big.mp3", "");
    const auto outcome = confirm({kNone, text, true, song, true}, "big");
    EXPECT_EQ(outcome.import.status, TextImportOutcome::Status::Refused);
    EXPECT_EQ(outcome.import.message, "请将文本 big 保存为Unicode编码再导入.");
    ASSERT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.field(0, MediaPath), song);
}

TEST_F(Confirming, ACancelledQuestionChangesNothing)
{
    const QString text = folder.write("New.txt", "New 1\n");
    const QString song = folder.write("New.mp3", "");
    table.appendRow(makeTitleRow("Lesson"));
    table.appendRow(makeSentenceRow());
    const std::vector<SentenceRow> before = table.rows();
    ASSERT_TRUE(asksContentChange(table, {1, text, true, song, true}));
    confirm({0, text, true, song, true}, "New");
    EXPECT_EQ(table.rows(), before);
    EXPECT_FALSE(state.unitModified);
}
