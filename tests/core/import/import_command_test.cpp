// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/text_import.h"
#include "core/study/unit_file.h"

#include "core/import/test_files.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace dictora;
using dictora::test::FileFolder;

namespace {

class ImportCommand : public ::testing::Test {
protected:
    // Runs dictora-cli import with the program folder in the scratch folder.
    int run(QStringList args)
    {
        args.prepend("import");
        args << "--home" << folder.path("home") << "--unit"
             << "Lesson"
             << "--now"
             << "20261207120000";
        QProcess process;
        process.start(DICTORA_CLI_PATH, args);
        EXPECT_TRUE(process.waitForFinished(30000));
        errors = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    }

    QString unitPath() const { return folder.path("home/Data/Lesson.dat"); }

    // Every row as "#title" for a title row and the text for a sentence.
    QStringList savedRows() const
    {
        const UnitReadResult read = readUnitFile(unitPath(), false);
        EXPECT_TRUE(read.terminated);
        QStringList rows;
        for (const SentenceRow& row : read.rows)
            rows << (row[Kind] == "0" ? "#" + row[SectionTitle] : row[Text]);
        return rows;
    }

    QByteArray savedBytes() const
    {
        QFile file(unitPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    FileFolder folder;
    QString errors;
};

} // namespace

TEST_F(ImportCommand, CreatesTheUnitAndAddsASectionAtTheEnd)
{
    const QString lyric = folder.write("Song.lrc", "[00:01.00]one\n[00:02.00]two\n");
    ASSERT_EQ(run({lyric}), 0) << errors.toStdString();
    EXPECT_EQ(savedRows(), QStringList({"#标题", "#Song", "one", "two"}));
    EXPECT_EQ(readUnitFile(unitPath(), false).header, kNewUnitHeader);
}

TEST_F(ImportCommand, SectionWithSentencesNeedsReplaceOrAppend)
{
    const QString lyric = folder.write("Song.lrc", "one\ntwo\n");
    const QString other = folder.write("Other.txt", "three\n");
    ASSERT_EQ(run({lyric}), 0);
    ASSERT_EQ(run({other}), 0);
    const QByteArray before = savedBytes();

    EXPECT_EQ(run({other, "--section", "1"}), 2);
    EXPECT_TRUE(errors.contains("--replace or --append")) << errors.toStdString();
    EXPECT_EQ(savedBytes(), before);
    EXPECT_EQ(run({other, "--section", "2"}), 2); // a sentence row
    EXPECT_EQ(savedBytes(), before);

    ASSERT_EQ(run({other, "--section", "1", "--append"}), 0);
    EXPECT_EQ(savedRows(),
              QStringList({"#标题", "#Other", "one", "two", "three", "#Other", "three"}));
    ASSERT_EQ(run({lyric, "--section", "1", "--replace"}), 0);
    EXPECT_EQ(savedRows(), QStringList({"#标题", "#Song", "one", "two", "#Other", "three"}));
}

TEST_F(ImportCommand, MediaGoesToTheSectionAndItsSentences)
{
    const QString lyric = folder.write("Song.lrc", "one\n");
    ASSERT_EQ(run({lyric, "--media", "/music/song.mp3", "--length", "1:2:3"}), 0);
    ASSERT_EQ(run({lyric, "--section", "1", "--append", "--media", "/music/new.mp3"}), 0);
    const UnitReadResult read = readUnitFile(unitPath(), false);
    ASSERT_EQ(read.rows.size(), 4u);
    // Sentence rows keep no media fields in the file; the title row holds them.
    EXPECT_EQ(read.rows[1][MediaPath], "/music/new.mp3");
    EXPECT_EQ(read.rows[1][MediaName], "new.mp3");
    EXPECT_EQ(read.rows[1][MediaLengthMs], "0");
}

TEST_F(ImportCommand, BigEndianTextIsRefusedAndTheSectionKept)
{
    const QString lyric = folder.write("Song.lrc", "one\n");
    const QString big = folder.write("Big.txt", QByteArray("\xFE\xFF\x00x", 4));
    ASSERT_EQ(run({lyric}), 0);
    EXPECT_EQ(run({big, "--section", "1", "--replace"}), 1);
    EXPECT_TRUE(errors.contains("请将文本 Big 保存为Unicode编码再导入.")) << errors.toStdString();
    EXPECT_EQ(savedRows(), QStringList({"#标题", "#Song", "one"}));
}

TEST_F(ImportCommand, RefusedTextChangesNothingEvenWithMedia)
{
    const QString big = folder.write("Big.txt", QByteArray("\xFE\xFF\x00x", 4));
    EXPECT_EQ(run({big, "--media", "/music/song.mp3"}), 1);
    EXPECT_TRUE(errors.contains("请将文本 Big 保存为Unicode编码再导入.")) << errors.toStdString();
    EXPECT_FALSE(QFile::exists(unitPath())); // no Unit was created for it

    const QString lyric = folder.write("Song.lrc", "one\n");
    ASSERT_EQ(run({lyric}), 0);
    const QByteArray before = savedBytes();
    EXPECT_EQ(run({big, "--section", "1", "--replace", "--media", "/music/song.mp3"}), 1);
    EXPECT_EQ(run({big, "--media", "/music/song.mp3"}), 1);
    EXPECT_EQ(savedBytes(), before);
}

TEST_F(ImportCommand, TextOfTooManySentencesCreatesNoUnit)
{
    const QString many = folder.write("Many.txt", QByteArray("a\n").repeated(100001));
    EXPECT_EQ(run({many, "--media", "/music/song.mp3"}), 1);
    EXPECT_TRUE(errors.contains("文本 Many 的句子多于 100000 句, 不能导入."))
        << errors.toStdString();
    EXPECT_FALSE(QFile::exists(unitPath()));
}

TEST_F(ImportCommand, TextAboveTheSizeLimitIsRefusedUnread)
{
    const QString lyric = folder.write("Song.lrc", "one\n");
    ASSERT_EQ(run({lyric}), 0);
    const QByteArray before = savedBytes();
    QFile huge(folder.path("Huge.txt"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(kTextFileSizeLimit + 1)); // sparse: costs no disk
    huge.close();
    EXPECT_EQ(run({huge.fileName(), "--media", "/music/song.mp3"}), 1);
    EXPECT_TRUE(errors.contains("文本 Huge 超过 64 MB, 不能导入.")) << errors.toStdString();
    EXPECT_EQ(savedBytes(), before);
}

TEST_F(ImportCommand, TidyOptionReadsTagsAway)
{
    const QString lyric =
        folder.write("Song.lrc", "[ti:Yesterday]\n[00:05.00][00:01.00]<00:01.00>la <00:01.50>la\n");
    ASSERT_EQ(run({lyric}), 0) << errors.toStdString();
    ASSERT_EQ(run({lyric, "--tidy"}), 0) << errors.toStdString();
    EXPECT_EQ(savedRows(), QStringList({"#标题", "#Song", "", "[00:01.00]<00:01.00>la <00:01.50>la",
                                        "#Yesterday", "la la", "la la"}));
}

TEST(DecodeCommand, SaysWhichCodePageLegacyTextIsReadInAndHowSure)
{
    FileFolder folder;
    const auto decode = [&](const QByteArray& bytes) {
        QProcess process;
        process.start(DICTORA_CLI_PATH, {"decode", folder.write("t.srt", bytes)});
        EXPECT_TRUE(process.waitForFinished(30000));
        return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    };
    // 我們今天去看電影，然後一起吃晚飯。 and 你覺得這部電影怎麼樣？ in Big5.
    const QJsonObject big5 =
        decode("\xa7\xda\xad\xcc\xa4\xb5\xa4\xd1\xa5\x68\xac\xdd\xb9\x71"
               "\xbc\x76\xa1\x41\xb5\x4d\xab\xe1\xa4\x40\xb0\x5f\xa6\x59"
               "\xb1\xdf\xb6\xba\xa1\x43\r\n\xa7\x41\xc4\xb1\xb1\x6f\xb3"
               "\x6f\xb3\xa1\xb9\x71\xbc\x76\xab\xe7\xbb\xf2\xbc\xcb\xa1\x48\r\n");
    EXPECT_EQ(big5["codePage"].toString(), "CP950");
    EXPECT_EQ(big5["codePageBasis"].toString(), "detected");
    EXPECT_EQ(big5["lines"].toArray().at(1).toString(),
              QString::fromUtf8("你覺得這部電影怎麼樣？\r"));
    const QJsonObject shortGb = decode("\xC4\xE3\xBA\xC3\n"); // 你好
    EXPECT_EQ(shortGb["codePage"].toString(), "GB18030");
    EXPECT_EQ(shortGb["codePageBasis"].toString(), "unsure");
    EXPECT_FALSE(shortGb["reason"].toString().isEmpty());
    EXPECT_EQ(shortGb["lines"].toArray().at(0).toString(), QString::fromUtf8("你好"));
}

TEST_F(ImportCommand, MediaFilesAreNeverReadAsText)
{
    const QString lyric = folder.write("Song.lrc", "one\n");
    ASSERT_EQ(run({lyric}), 0);
    const QByteArray before = savedBytes();
    // By name, or by first bytes whatever the name: an MP3 with its ID3 tag,
    // a WAVE file, a Matroska file too damaged to list its tracks.
    const QString cases[] = {
        folder.write("song.mp3", "plain words\n"),
        folder.write("song.txt", QByteArray("ID3\x03\x00\x00\x00\x00\x00\x00", 10)),
        folder.write("talk.srt", QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16)),
        folder.write("film.txt", QByteArray("\x1A\x45\xDF\xA3\x42\x86\x81", 7)),
    };
    for (const QString& path : cases) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(run({path, "--section", "1", "--replace"}), 1);
        EXPECT_FALSE(errors.isEmpty());
        EXPECT_EQ(savedBytes(), before);
    }
}
