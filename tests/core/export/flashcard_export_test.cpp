// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/flashcard_export.h"

#include "core/study/study_fixtures.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

struct NameCase {
    const char16_t* name;
    const char16_t* safe;
};

class SafeFileNameTable : public ::testing::TestWithParam<NameCase> {};

TEST_P(SafeFileNameTable, KeepsEveryFileSystemHappy)
{
    EXPECT_EQ(safeFileName(QString::fromUtf16(GetParam().name)), QString::fromUtf16(GetParam().safe));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SafeFileNameTable,
    ::testing::Values(NameCase{u"新概念英语 2", u"新概念英语 2"}, NameCase{u"../../etc/passwd", u"_.._etc_passwd"},
                      NameCase{u"a/b\\c:d*e?f\"g<h>i|j", u"a_b_c_d_e_f_g_h_i_j"},
                      NameCase{u"  .hidden. ", u"hidden"}, NameCase{u"CON", u"_CON"},
                      NameCase{u"nul.txt", u"_nul.txt"}, NameCase{u"Console", u"Console"},
                      NameCase{u"...", u"export"}, NameCase{u"", u"export"},
                      NameCase{u"tab\there", u"tab_here"}));

TEST(SafeFileName, IsCutToAHundredCharacters)
{
    EXPECT_EQ(safeFileName(QString(300, u'x')).size(), 100);
}

class FlashcardExportTest : public ::testing::Test {
protected:
    QTemporaryDir home;
    ProgramFolder folder{home.path() + "/"};
    SentenceTable table;
    QString media;

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        createDataFolders(folder);
        media = home.path() + "/talk.mp3";
        ASSERT_TRUE(writeAll(media, "not really audio"));
        SentenceRow head = title("Part One");
        head[MediaPath] = media;
        head[MediaName] = "talk.mp3";
        head[MediaLengthMs] = "10000"; // declared; the file is really 20 s long
        std::vector<SentenceRow> rows{head};
        auto add = [&](const QString& text, const char* start, const char* end) {
            SentenceRow row = sentence(text);
            row[StartMs] = start;
            row[EndMs] = end;
            for (int f : {int(SectionTitle), int(MediaPath), int(MediaName), int(MediaLengthMs)})
                row[f] = head[f];
            rows.push_back(row);
        };
        add("Hello,\tworld", "1000", "2500");
        add("He said \"no\"", "2500", "2600"); // too short to play: spoken
        add("   ", "2600", "3000");            // no text: no card
        add("The end.", "3000", "0");          // to the end of the media
        rows.back()[Text2] = "结束。\n第二行";
        table.replaceAll(std::move(rows));
    }
    FlashcardExport plan(const QString& name = "Lesson 1")
    {
        return planFlashcards(name, home.path() + "/out", table, "My Unit", false, folder,
                              [&](const QString& path) { return path == media ? 20000 : 0; });
    }
};

TEST_F(FlashcardExportTest, CardsCarryScaledSpansAndSpeechWhereNoSpanPlays)
{
    const FlashcardExport cards = plan();
    ASSERT_EQ(cards.items.size(), 3);
    EXPECT_TRUE(QRegularExpression("^dictora-My_Unit-[0-9a-f]{12}\\.ogg$")
                    .match(cards.items[0].clipFileName)
                    .hasMatch())
        << cards.items[0].clipFileName.toStdString();
    EXPECT_EQ(cards.items[0].clip.mediaPath, media);
    EXPECT_EQ(cards.items[0].clip.startMs, 2000);
    EXPECT_EQ(cards.items[0].clip.endMs, 5000);
    EXPECT_TRUE(cards.items[1].clip.isSpoken());
    EXPECT_EQ(cards.items[1].clip.text, "He said \"no\"");
    EXPECT_EQ(cards.items[2].clip.startMs, 6000);
    EXPECT_EQ(cards.items[2].clip.endMs, 20000);
    EXPECT_EQ(cards.clipPath(cards.items[2]), home.path() + "/out/" + cards.items[2].clipFileName);
}

TEST_F(FlashcardExportTest, MissingMediaIsSpoken)
{
    QFile::remove(media);
    for (const FlashcardItem& item : plan().items)
        EXPECT_TRUE(item.clip.isSpoken());
}

TEST_F(FlashcardExportTest, TheTsvIsReadyForATextImport)
{
    const FlashcardExport cards = plan();
    const QStringList lines = QString::fromUtf8(cards.tsv()).split(u'\n');
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], "#separator:tab");
    EXPECT_EQ(lines[1], "#html:false");
    EXPECT_EQ(lines[2], "#tags column:4");
    const auto sound = [&](int k) { return "[sound:" + cards.items[k].clipFileName + "]"; };
    EXPECT_EQ(lines[3], "Hello, world\t\t" + sound(0) + "\tMy_Unit Part_One");
    EXPECT_EQ(lines[4], "\"He said \"\"no\"\"\"\t\t" + sound(1) + "\tMy_Unit Part_One");
    EXPECT_EQ(lines[5], "The end.\t结束。 第二行\t" + sound(2) + "\tMy_Unit Part_One");
    EXPECT_EQ(lines[6], "");
}

TEST_F(FlashcardExportTest, NamesNeverLeadOutOfTheFolder)
{
    const FlashcardExport cards = plan("../../evil");
    for (const QString& path : cards.targetPaths())
        EXPECT_EQ(QFileInfo(path).absolutePath(), home.path() + "/out") << path.toStdString();
}

TEST_F(FlashcardExportTest, AnExistingFileIsReplacedOnlyWhenForced)
{
    const FlashcardExport cards = plan();
    EXPECT_TRUE(exportRefusal(cards, false).contains("not a folder"));
    ASSERT_TRUE(QDir().mkpath(cards.outDir));
    EXPECT_EQ(exportRefusal(cards, false), "");
    ASSERT_TRUE(writeAll(cards.clipPath(cards.items[1]), "old"));
    EXPECT_TRUE(
        exportRefusal(cards, false).contains(cards.items[1].clipFileName + " exists already"));
    EXPECT_EQ(exportRefusal(cards, true), "");
    ASSERT_TRUE(QDir().mkpath(cards.tsvPath()));
    EXPECT_TRUE(exportRefusal(cards, true).contains("is a folder"));
}

TEST_F(FlashcardExportTest, ASentenceKeepsItsNoteAndClipNamesFollowWhatTheClipIsMadeOf)
{
    const FlashcardExport before = plan();
    table.setField(1, Text, "Hello, world!"); // corrected
    table.setField(4, StartMs, "3100");       // moved
    const FlashcardExport after = plan();
    ASSERT_EQ(after.items.size(), 3);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(after.items[k].guid, before.items[k].guid) << k;
    EXPECT_NE(before.items[0].guid, before.items[1].guid);
    EXPECT_EQ(after.items[0].clipFileName, before.items[0].clipFileName) << "same span, same file";
    EXPECT_NE(after.items[2].clipFileName, before.items[2].clipFileName) << "another span";
    const FlashcardExport otherUnit =
        planFlashcards("Lesson 1", home.path() + "/out", table, "My_Unit", false, folder,
                       [](const QString&) { return 20000; });
    for (int k = 0; k < 3; ++k)
        EXPECT_NE(otherUnit.items[k].guid, after.items[k].guid);
}

TEST_F(FlashcardExportTest, TheExtensionChoosesTheFormat)
{
    const QString out = home.path();
    for (const auto& [given, format, folderOf, name] :
         {std::tuple{out + "/deck.apkg", FlashcardFormat::Package, out, QString("deck")},
          std::tuple{out + "/cards.TSV", FlashcardFormat::Tsv, out, QString("cards")},
          std::tuple{out, FlashcardFormat::Tsv, out, QString("Lesson")}}) {
        const ExportTarget target = exportTargetFor(given, "Lesson");
        EXPECT_TRUE(target.format == format && target.folder == folderOf && target.name == name)
            << given.toStdString();
    }
}

} // namespace
