// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/content_change_question.h"
#include "core/import/text_import.h"
#include "core/study/unit_file.h"

#include "core/import/test_files.h"

#include <gtest/gtest.h>

using namespace dictora;
using dictora::test::FileFolder;
using dictora::test::utf16le;
using Status = TextImportOutcome::Status;

namespace {

class Answer : public ContentChangeQuestion {
public:
    explicit Answer(ContentChangeChoice choice) : choice_(choice) {}
    ContentChangeChoice ask() override
    {
        ++asked;
        return choice_;
    }
    int asked = 0;

private:
    ContentChangeChoice choice_;
};

class TextImport : public ::testing::Test {
protected:
    TextImportOutcome import(const QByteArray& bytes, int targetRow = kNone,
                             ContentChangeChoice choice = ContentChangeChoice::Cancel,
                             const QString& name = "Lesson 1.lrc")
    {
        TextImportRequest request;
        request.textPath = folder.write(name, bytes);
        request.mediaPath = "/media/songs/Lesson 1.mp3";
        request.mediaLengthMs = 3723000;
        request.targetRow = targetRow;
        Answer answer(choice);
        const TextImportOutcome outcome = ImportTextFile(table, state, request, answer);
        asked = answer.asked;
        return outcome;
    }

    // A Unit of two Sections: A (rows 0-2) and B (rows 3-4).
    void fillTwoSections()
    {
        for (const char* title : {"A", "B"}) {
            table.appendRow(makeTitleRow(title));
            for (int i = 1; i <= (title[0] == 'A' ? 2 : 1); ++i) {
                SentenceRow row = makeSentenceRow();
                row[Text] = QStringLiteral("%1%2").arg(title).arg(i);
                table.appendRow(row);
            }
        }
    }

    QStringList texts() const
    {
        QStringList all;
        for (const SentenceRow& row : table.rows())
            all << (row[Kind] == "0" ? "#" + row[SectionTitle] : row[Text]);
        return all;
    }

    FileFolder folder;
    SentenceTable table;
    StudyState state;
    int asked = 0;
};

struct SingleLine {
    const char* line;
    unsigned startMs;
    const char* text;
};

class SingleLineImport : public TextImport, public ::testing::WithParamInterface<SingleLine> {};

} // namespace

TEST_P(SingleLineImport, GivesOneRow)
{
    const SingleLine& c = GetParam();
    ASSERT_EQ(import(QByteArray(c.line) + "\r\n").rowsAdded, 1);
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.field(1, StartMs), QString::number(c.startMs));
    EXPECT_EQ(table.field(1, EndMs), "0");
    EXPECT_EQ(table.field(1, Text), QString::fromUtf8(c.text));
    EXPECT_EQ(table.field(1, Text2), "");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SingleLineImport,
    ::testing::Values(SingleLine{"[01:02.03]Hello", 62030, "Hello"},
                      SingleLine{"[01:02.345] Hi", 62345, " Hi"},
                      SingleLine{"[00:12]x", 12000, "x"}, SingleLine{"[01:02.5]x", 62005, "x"},
                      SingleLine{"[01:02.03][01:30.00]Refrain", 62030, "[01:30.00]Refrain"},
                      SingleLine{"[ti:Title]", 0, ""}, SingleLine{"[1:05]x", 0, "x"},
                      SingleLine{"  a plain line\t", 0, "a plain line"},
                      SingleLine{"close] before [open", 0, " before [open"}));

TEST_F(TextImport, NewSectionInAnEmptyTableCarriesTheFileAndMediaFields)
{
    const TextImportOutcome outcome = import("[00:01.00]one\n[00:02.00]two");
    EXPECT_EQ(outcome.status, Status::Imported);
    EXPECT_EQ(outcome.targetRow, 0);
    EXPECT_TRUE(state.unitModified);
    ASSERT_EQ(table.rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const SentenceRow& r = table.row(row);
        EXPECT_EQ(r[Kind], row == 0 ? "0" : "1");
        EXPECT_EQ(r[EndMs], "0");
        EXPECT_EQ(r[Done], "0");
        EXPECT_EQ(r[Level], "0");
        EXPECT_EQ(r[StudiedAt], "20140101010101");
        EXPECT_EQ(r[SectionTitle], "Lesson 1");
        EXPECT_EQ(r[MediaPath], "/media/songs/Lesson 1.mp3");
        EXPECT_EQ(r[MediaName], "Lesson 1.mp3");
        EXPECT_EQ(r[MediaLengthMs], "3723000");
    }
    EXPECT_EQ(table.field(0, Text), "");
    EXPECT_EQ(table.field(0, StartMs), "0");
    EXPECT_EQ(table.field(2, StartMs), "2000");
    EXPECT_EQ(table.field(2, Text), "two");
}

TEST_F(TextImport, NewSectionGoesAfterExistingRows)
{
    fillTwoSections();
    EXPECT_EQ(import("x\n", kNone, ContentChangeChoice::Cancel, "c.d.txt").targetRow, 5);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(texts(), QStringList({"#A", "A1", "A2", "#B", "B1", "#c.d", "x"}));
}

TEST_F(TextImport, TwoLanguageSubtitlesFollowThePrimaryScript)
{
    const QString srt = "12\r\n00:01:02,500 --> 00:01:05,000\r\nHello\r\n你好\r\n\r\n"
                        "13\r\n00:01:06,000 --> 00:01:08,250\r\n谢谢\r\nThanks\r\n\r\n"
                        "14\r\n00:01:09,000 --> 00:01:10,000\r\nSee you\r\nsoon\r\n再见";
    ASSERT_EQ(import(srt.toUtf8(), kNone, ContentChangeChoice::Cancel, "film.srt").rowsAdded, 3);
    EXPECT_EQ(table.field(1, StartMs), "62500");
    EXPECT_EQ(table.field(1, EndMs), "65000");
    EXPECT_EQ(table.field(1, Text), " Hello");
    EXPECT_EQ(table.field(1, Text2), " 你好");
    EXPECT_EQ(table.field(2, StartMs), "66000");
    EXPECT_EQ(table.field(2, EndMs), "68250");
    EXPECT_EQ(table.field(2, Text), " Thanks");
    EXPECT_EQ(table.field(2, Text2), " 谢谢");
    // The last block ends with the file, without a blank line.
    EXPECT_EQ(table.field(3, Text), " See you soon");
    EXPECT_EQ(table.field(3, Text2), " 再见");
}

TEST_F(TextImport, MixedFirstBlockLeavesThePrimaryScriptOpen)
{
    const QString srt = "1\n00:00:01,000 --> 00:00:02,000\nHi 你好\n\n"
                        "2\n00:00:03,000 --> 00:00:04,000\n你好吗\nHow are you\n";
    import(srt.toUtf8(), kNone, ContentChangeChoice::Cancel, "mixed.srt");
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.field(1, Text), " Hi 你好");
    EXPECT_EQ(table.field(1, Text2), "");
    EXPECT_EQ(table.field(2, Text), " 你好吗");
    EXPECT_EQ(table.field(2, Text2), " How are you");
}

TEST_F(TextImport, DigitsOnlyLineEatsTheNextLine)
{
    import("In 2014\n2014\nthe year it began\nlast line\n   \n\t\n2015");
    EXPECT_EQ(texts(), QStringList({"#Lesson 1", "In 2014", "", "last line", ""}));
    EXPECT_EQ(table.field(2, StartMs), "0");
    EXPECT_EQ(table.field(2, EndMs), "0");
}

TEST_F(TextImport, EveryEncodingGivesTheSameRows)
{
    const QString text = "[00:01.50]你好\r\n\r\nworld\r\n";
    const QByteArray gbk("[00:01.50]\xC4\xE3\xBA\xC3\r\n\r\nworld\r\n");
    for (const QByteArray& bytes :
         {text.toUtf8(), "\xEF\xBB\xBF" + text.toUtf8(), utf16le(text), gbk}) {
        table.clear();
        import(bytes);
        EXPECT_EQ(texts(), QStringList({"#Lesson 1", "你好", "world"}));
        EXPECT_EQ(table.field(1, StartMs), "1500");
    }
    for (const QByteArray& markOnly : {QByteArray(), QByteArray("\xEF\xBB\xBF"), utf16le("")}) {
        table.clear();
        EXPECT_EQ(import(markOnly).rowsAdded, 0);
        EXPECT_EQ(texts(), QStringList({"#Lesson 1"}));
    }
}

TEST_F(TextImport, ReplaceRemovesExactlyTheSectionsSentences)
{
    fillTwoSections();
    const TextImportOutcome outcome = import("new1\nnew2", 0, ContentChangeChoice::Replace);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(outcome.targetRow, 0);
    EXPECT_EQ(texts(), QStringList({"#Lesson 1", "new1", "new2", "#B", "B1"}));
    EXPECT_TRUE(state.unitModified);
}

TEST_F(TextImport, AppendInsertsAfterTheSectionsLastSentence)
{
    fillTwoSections();
    const TextImportOutcome outcome = import("new1\nnew2", 0, ContentChangeChoice::Append);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(outcome.targetRow, 2);
    EXPECT_EQ(texts(), QStringList({"#Lesson 1", "A1", "A2", "new1", "new2", "#B", "B1"}));
}

TEST_F(TextImport, LastSectionIsFilledToTheEndOfTheTable)
{
    fillTwoSections();
    import("new", 3, ContentChangeChoice::Append);
    EXPECT_EQ(texts(), QStringList({"#A", "A1", "A2", "#Lesson 1", "B1", "new"}));
    table.appendRow(makeTitleRow("C"));
    import("only", 6);
    EXPECT_EQ(asked, 0); // an empty Section is filled without asking
    EXPECT_EQ(texts().mid(6), QStringList({"#Lesson 1", "only"}));
}

TEST_F(TextImport, CancelLeavesTheSectionAsItWas)
{
    fillTwoSections();
    state.unitModified = false;
    const TextImportOutcome outcome = import("new", 0, ContentChangeChoice::Cancel);
    EXPECT_EQ(outcome.status, Status::Cancelled);
    EXPECT_EQ(texts(), QStringList({"#A", "A1", "A2", "#B", "B1"}));
    EXPECT_FALSE(state.unitModified);
}

TEST_F(TextImport, BigEndianFileIsRefusedBeforeAnythingChanges)
{
    fillTwoSections();
    const TextImportOutcome outcome =
        import("\xFE\xFF\x00x\x00\n", 0, ContentChangeChoice::Replace);
    EXPECT_EQ(outcome.status, Status::Refused);
    EXPECT_EQ(outcome.message, "请将文本 Lesson 1 保存为Unicode编码再导入.");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(texts(), QStringList({"#A", "A1", "A2", "#B", "B1"}));
    EXPECT_FALSE(state.unitModified);
}

TEST_F(TextImport, UnusableRequestsLeaveTheTableAlone)
{
    fillTwoSections();
    const QStringList before = texts();
    Answer replace(ContentChangeChoice::Replace);
    TextImportRequest request;
    request.targetRow = 0;
    EXPECT_EQ(ImportTextFile(table, state, request, replace).status, Status::NoTextFile);
    request.textPath = folder.path("missing.txt");
    EXPECT_EQ(ImportTextFile(table, state, request, replace).status, Status::Unreadable);
    request.textPath = folder.write("ok.txt", "x");
    request.targetRow = 1; // a sentence row
    EXPECT_EQ(ImportTextFile(table, state, request, replace).status, Status::InvalidTarget);
    request.targetRow = 5;
    EXPECT_EQ(ImportTextFile(table, state, request, replace).status, Status::InvalidTarget);
    EXPECT_EQ(replace.asked, 0);
    EXPECT_EQ(texts(), before);
    EXPECT_FALSE(state.unitModified);
}

TEST_F(TextImport, FileAboveTheSizeLimitIsRefusedBeforeAnythingChanges)
{
    fillTwoSections();
    const QString path = folder.path("Huge.txt");
    QFile huge(path);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(kTextFileSizeLimit + 1)); // sparse: costs no disk
    huge.close();
    Answer replace(ContentChangeChoice::Replace);
    TextImportRequest request;
    request.textPath = path;
    request.targetRow = 0;
    const TextImportOutcome outcome = ImportTextFile(table, state, request, replace);
    EXPECT_EQ(outcome.status, Status::Refused);
    EXPECT_EQ(outcome.message, "文本 Huge 超过 64 MB, 不能导入.");
    EXPECT_EQ(replace.asked, 0);
    EXPECT_EQ(texts(), QStringList({"#A", "A1", "A2", "#B", "B1"}));
    EXPECT_FALSE(state.unitModified);

    ASSERT_TRUE(huge.resize(kTextFileSizeLimit)); // at the limit: may be imported
    EXPECT_EQ(CheckTextFile(path).status, Status::Imported);
}

TEST_F(TextImport, TidyLyricTitleNamesTheSectionWhileTheTitleFieldIsTheFileName)
{
    const QByteArray lyric("[ti:Yesterday]\n[00:01.00]one\n");
    const auto importTitled = [&](bool tidy, const QString& titleField) {
        table.clear();
        TextImportRequest request;
        request.textPath = folder.write("Lesson 1.lrc", lyric);
        request.tidy = tidy;
        request.titleField = titleField;
        Answer never(ContentChangeChoice::Cancel);
        ImportTextFile(table, state, request, never);
        return texts();
    };
    EXPECT_EQ(importTitled(true, ""), QStringList({"#Yesterday", "one"}));
    EXPECT_EQ(table.field(1, SectionTitle), "Yesterday");
    EXPECT_EQ(importTitled(true, "Lesson 1"), QStringList({"#Yesterday", "one"}));
    EXPECT_EQ(importTitled(true, "My song"), QStringList({"#Lesson 1", "one"}));
    EXPECT_EQ(importTitled(false, ""), QStringList({"#Lesson 1", "", "one"}));
}

TEST_F(TextImport, FileOfMoreSentencesThanTheLimitIsRefusedBeforeAnythingChanges)
{
    fillTwoSections();
    EXPECT_EQ(sentenceLimit(1000), 100000u);
    EXPECT_EQ(sentenceLimit(64 * 1024 * 1024), 745654u);
    // Tiny lines, and one lyric line whose time tags would each give a
    // sentence under tidy reading.
    QByteArray refrain;
    for (int i = 0; i < 100001; ++i)
        refrain += "[0:01]";
    for (const QByteArray& bytes : {QByteArray("a\n").repeated(100001), refrain + "la\n"}) {
        TextImportRequest request;
        request.textPath = folder.write("Many.lrc", bytes);
        request.targetRow = 0;
        request.tidy = true;
        Answer replace(ContentChangeChoice::Replace);
        const TextImportOutcome outcome = ImportTextFile(table, state, request, replace);
        EXPECT_EQ(outcome.status, Status::Refused);
        EXPECT_EQ(outcome.message, "文本 Many 的句子多于 100000 句, 不能导入.");
        EXPECT_EQ(replace.asked, 0);
        EXPECT_EQ(texts(), QStringList({"#A", "A1", "A2", "#B", "B1"}));
    }
    EXPECT_EQ(import(QByteArray("a\n").repeated(100000)).rowsAdded, 100000);
}

TEST_F(TextImport, ImportThatWouldPassTheUnitReadersLimitIsRefusedAndLeavesTheUnit)
{
    // Section A's first sentence fills the Unit to a little under the limit
    // at which the reader refuses a Unit file.
    fillTwoSections();
    const qint64 base = encodedUnitSize(table.rows(), false);
    table.setField(1, Text, QString(int((kUnitFileSizeLimit - 200 - base) / 2), u'x'));
    const qint64 filled = encodedUnitSize(table.rows(), false);
    ASSERT_GT(filled, kUnitFileSizeLimit - 220);
    ASSERT_LE(filled, kUnitFileSizeLimit - 180);
    // Two sentences of 50 characters: 264 bytes of records.
    const QString line1 = "new1" + QString(46, u'a');
    const QString line2 = "new2" + QString(46, u'b');
    const QByteArray file = (line1 + '\n' + line2 + '\n').toUtf8();
    const std::vector<SentenceRow> before = table.rows();
    const QString refusal = "导入文本 Lesson 1 后单元文件将超过 64 MB, 无法再打开, 不能导入.";
    const struct {
        const char* what;
        int target;
        ContentChangeChoice choice;
        Status status;
    } cases[] = {
        // A new Section's title row carries the media path: over the limit.
        {"new Section", kNone, ContentChangeChoice::Cancel, Status::Refused},
        {"appended to the full Section", 0, ContentChangeChoice::Append, Status::Refused},
        {"added to the other Section", 3, ContentChangeChoice::Append, Status::Refused},
        // Replacing the long sentence leaves room.
        {"replacing the long sentence", 0, ContentChangeChoice::Replace, Status::Imported},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        state.unitModified = false;
        const TextImportOutcome outcome = import(file, c.target, c.choice);
        EXPECT_EQ(outcome.status, c.status);
        if (c.status == Status::Refused) {
            EXPECT_EQ(outcome.message, refusal);
            // The Section keeps its title too.
            EXPECT_TRUE(table.rows() == before);
            EXPECT_EQ(encodedUnitSize(table.rows(), false), filled);
        } else {
            EXPECT_EQ(texts(), QStringList({"#Lesson 1", line1, line2, "#B", "B1"}));
            EXPECT_TRUE(state.unitModified);
        }
    }
}
