// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/text_decoding.h"
#include "core/study/unit_file.h"

#include "core/import/test_files.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace dictora;
using dictora::test::FileFolder;
using dictora::test::utf16le;

namespace {

// Every line of the file as ReadTextLine gives it, checking that the read after
// the last line fails and leaves `line` empty.
QStringList readLines(const QString& path, const QString& label)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines;
    QString line = QStringLiteral("stale");
    while (ReadTextLine(file, label, line))
        lines << line;
    EXPECT_TRUE(line.isEmpty());
    EXPECT_FALSE(ReadTextLine(file, label, line));
    return lines;
}

QStringList decode(FileFolder& folder, const QByteArray& bytes)
{
    const QString path = folder.write("t.txt", bytes);
    return readLines(path, DetectTextEncoding(path));
}

const QByteArray kGbkHello("\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7"); // 你好，世界

} // namespace

TEST(DetectTextEncoding, NamesTheMarkOrAnsi)
{
    FileFolder folder;
    const auto label = [&](const QByteArray& bytes) {
        return DetectTextEncoding(folder.write("t.txt", bytes));
    };
    EXPECT_EQ(label(""), "ANSI");
    EXPECT_EQ(label("plain"), "ANSI");
    EXPECT_EQ(label("\xEF\xBB\xBF"), "UTF8");
    EXPECT_EQ(label("\xEF\xBB\xBFtext"), "UTF8");
    EXPECT_EQ(label("\xFF\xFE"), "UNICODE");
    EXPECT_EQ(label(utf16le("text")), "UNICODE");
    EXPECT_EQ(label("\xFE\xFF"), "UNICODEBIG");
    EXPECT_EQ(label("\xFE\xFF\x00t"), "UNICODEBIG");
    // Too short for the mark, or an incomplete mark.
    EXPECT_EQ(label("\xEF"), "ANSI");
    EXPECT_EQ(label("\xEF\xBB"), "ANSI");
    EXPECT_EQ(label("\xEF\xBBx"), "ANSI");
    EXPECT_EQ(label("\xFF"), "ANSI");
    EXPECT_EQ(label("\xFE"), "ANSI");
    EXPECT_EQ(DetectTextEncoding(folder.path("missing.txt")), "ANSI");
}

TEST(ReadTextLine, EmptyAndMarkOnlyFilesGiveNoLines)
{
    FileFolder folder;
    EXPECT_TRUE(decode(folder, "").isEmpty());
    EXPECT_TRUE(decode(folder, "\xEF\xBB\xBF").isEmpty());
    EXPECT_TRUE(decode(folder, "\xFF\xFE").isEmpty());
}

TEST(ReadTextLine, KeepsCarriageReturnAndReturnsLastLineWithoutLineFeed)
{
    FileFolder folder;
    EXPECT_EQ(decode(folder, "one\r\ntwo\r\n"), QStringList({"one\r", "two\r"}));
    EXPECT_EQ(decode(folder, "one\ntwo"), QStringList({"one", "two"}));
    EXPECT_EQ(decode(folder, "\n\nx\n"), QStringList({"", "", "x"}));
    EXPECT_EQ(decode(folder, "\xEF\xBB\xBFone\r\ntwo"), QStringList({"one\r", "two"}));
    EXPECT_EQ(decode(folder, utf16le("one\r\ntwo")), QStringList({"one\r", "two"}));
    EXPECT_EQ(decode(folder, utf16le("one\n\n")), QStringList({"one", ""}));
}

TEST(ReadTextLine, IncompleteUtf8MarkIsReadAsTextFromTheFirstByte)
{
    FileFolder folder;
    const QStringList lines = decode(folder, "\xEF\xBBx\nok");
    ASSERT_EQ(lines.size(), 2);
    // EF BB is a GB18030 character: the bytes are text, not a mark to skip.
    EXPECT_EQ(lines[0], QStringLiteral("锘x"));
    EXPECT_EQ(lines[1], "ok");
}

TEST(ReadTextLine, AnsiLinesAreUtf8WhenValidElseGb18030)
{
    FileFolder folder;
    EXPECT_EQ(decode(folder, kGbkHello + "\r\n" + kGbkHello),
              QStringList({"你好，世界\r", "你好，世界"}));
    EXPECT_EQ(decode(folder, QString("你好 ok").toUtf8()), QStringList({"你好 ok"}));
    // One file may mix both: each line is judged by itself.
    EXPECT_EQ(decode(folder, QString("中文\n").toUtf8() + kGbkHello),
              QStringList({"中文", "你好，世界"}));
}

TEST(ReadTextLine, Utf8LabelNeverFallsBackToTheLegacyCodePage)
{
    FileFolder folder;
    const QStringList lines = decode(folder, "\xEF\xBB\xBF" + kGbkHello);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_FALSE(lines[0].contains(QStringLiteral("你好")));
    EXPECT_TRUE(lines[0].contains(QChar(0xFFFD)));
}

TEST(ReadTextLine, CodePageNamedInTheEnvironmentReplacesGb18030)
{
    FileFolder folder;
    qputenv("DICTORA_CODEPAGE", "windows-1252");
    const QStringList western = decode(folder, "caf\xE9");
    qputenv("DICTORA_CODEPAGE", "no-such-code-page");
    const QStringList unknown = decode(folder, kGbkHello);
    qunsetenv("DICTORA_CODEPAGE");
    const QStringList chinese = decode(folder, kGbkHello);
    EXPECT_EQ(western, QStringList({"café"}));
    EXPECT_EQ(unknown, QStringList({"你好，世界"}));
    EXPECT_EQ(chinese, QStringList({"你好，世界"}));
}

TEST(ReadTextLine, Utf16SplitsOnlyAtTheLineFeedUnit)
{
    FileFolder folder;
    // 上 is 0A 4E and U+0A0A is 0A 0A: bytes 0A that are not a line feed.
    const QString tricky = QString("上") + QChar(0x0A0A) + QChar(0x0D0A) + "x";
    EXPECT_EQ(decode(folder, utf16le(tricky + "\nnext")), QStringList({tricky, "next"}));
    // A final odd byte becomes a unit of its own with high byte 0.
    EXPECT_EQ(decode(folder, utf16le("AB") + "C"), QStringList({"ABC"}));
}

TEST(ReadTextLine, LongLinesAreReadWhole)
{
    FileFolder folder;
    const QString wide(5000, QChar(0x4E2D));
    EXPECT_EQ(decode(folder, utf16le(wide + "\r\nend")), QStringList({wide + "\r", "end"}));
    // Longer than one read-ahead chunk of the UTF-16 reader.
    const QString huge = QString(40000, u'a') + QString(40000, QChar(0x4E2D));
    EXPECT_EQ(decode(folder, utf16le(huge + "\n" + huge)), QStringList({huge, huge}));

    const QByteArray ascii(10000, 'x');
    EXPECT_EQ(decode(folder, ascii + "\nend"), QStringList({QString::fromLatin1(ascii), "end"}));
    QByteArray gbk;
    for (int i = 0; i < 1000; ++i)
        gbk += kGbkHello; // 10,000 bytes
    const QStringList lines = decode(folder, gbk + "\r\n");
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].size(), 5001);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("你好，世界你好")));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("世界\r")));
}

TEST(IsValidUtf8, RejectsMalformedSequences)
{
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("abc"));
    EXPECT_TRUE(isValidUtf8("\xE4\xBD\xA0\xF0\x9F\x98\x80")); // 你 and an emoji
    EXPECT_FALSE(isValidUtf8("\xC0\x80"));                    // overlong
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));                // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));                // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));            // above U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE4\xBD"));                    // cut short
    EXPECT_FALSE(isValidUtf8("\xE4\x41\xA0"));
    EXPECT_FALSE(isValidUtf8(kGbkHello));
}

TEST(AnsiText, UnitFilesAndTextFilesReadTheSameBytesAlike)
{
    // GB18030 text with bytes that do not decode: a lead byte before a blank,
    // a lone FF, and a lead byte at the end.
    const QByteArray bytes = kGbkHello + "\x81 x\xFF" + "\xC4";
    // A Unit of one title row whose title is in the older 8-bit string form.
    QByteArray unit("\x51\x6B\x9A\x77\x9C\x22\x09\x40", 8);
    const auto int32 = [&](qint32 value) {
        for (int i = 0; i < 4; ++i)
            unit.append(char(quint32(value) >> (8 * i) & 0xFF));
    };
    int32(2);
    int32(0x3F800000); // 1.0f
    int32(1);
    for (int i = 0; i < 3; ++i)
        int32(0);             // kind, start, end
    unit += QByteArray(2, 0); // text, text2
    int32(0);
    int32(0);
    int32(1388538061);                                     // studiedAt
    unit += char(bytes.size()) + bytes + QByteArray(2, 0); // title, path, name
    int32(0);
    int32(-1000);

    FileFolder folder;
    const UnitReadResult read = readUnitFile(folder.write("u.dat", unit), false);
    ASSERT_TRUE(read.terminated);
    const QStringList lines = decode(folder, bytes);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(read.rows.at(0)[SectionTitle], lines[0]);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("你好，世界")));
    EXPECT_EQ(lines[0].count(QChar(0xFFFD)), 3);
}

TEST(ReadTextLine, CarriageReturnAloneEndsALine)
{
    FileFolder folder;
    EXPECT_EQ(decode(folder, "one\rtwo\r\rthree\r"), QStringList({"one", "two", "", "three"}));
    EXPECT_EQ(decode(folder, "one\r\ntwo\rthree\n"), QStringList({"one\r", "two", "three"}));
    EXPECT_EQ(decode(folder, "\xEF\xBB\xBFone\rtwo"), QStringList({"one", "two"}));
    EXPECT_EQ(decode(folder, utf16le("one\rtwo\r\nthree\r")),
              QStringList({"one", "two\r", "three"}));
    // A final odd byte 0A is the unit U+000A: after a CR it makes CR LF.
    EXPECT_EQ(decode(folder, utf16le("one\r") + "\n"), QStringList({"one\r"}));
    // A CR LF split across the reader's chunks is still one line end.
    const QByteArray ascii(4095, 'x');
    EXPECT_EQ(decode(folder, ascii + "\r\nend"), QStringList({ascii + "\r", "end"}));
    EXPECT_EQ(decode(folder, ascii + "\rend"), QStringList({QString(ascii), "end"}));
    const QString wide(255, QChar(0x4E2D));
    EXPECT_EQ(decode(folder, utf16le(wide + "\r\nend")), QStringList({wide + "\r", "end"}));
    EXPECT_EQ(decode(folder, utf16le(wide + "\rend")), QStringList({wide, "end"}));
}
