// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/unit_file.h"

#include "study_fixtures.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

UnitReadResult readBytes(QByteArray bytes, bool isNotebook = false)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readUnit(buffer, isNotebook);
}

QByteArray int32Bytes(int32_t value)
{
    QByteArray out;
    appendInt32(out, value);
    return out;
}

QByteArray stringBytes(const QString& text)
{
    QByteArray out;
    appendString(out, text);
    return out;
}

// Header of a Unit with the given settings, no records yet.
QByteArray headerBytes(const UnitHeader& header = kNewUnitHeader)
{
    QByteArray all = encodeUnit(header, {}, false);
    return all.left(20);
}

// A record in the older 8-bit form: one-byte lengths, raw bytes.
QByteArray legacySentence(const QByteArray& text, const QByteArray& text2)
{
    QByteArray out;
    out += int32Bytes(1) + int32Bytes(100) + int32Bytes(200);
    out += char(text.size()) + text;
    out += char(text2.size()) + text2;
    out += int32Bytes(0) + int32Bytes(0) + int32Bytes(1388538061);
    return out;
}

class UnitFileTest : public ::testing::Test {
protected:
    ScopedTimeZone zone{"Asia/Shanghai"};
};

} // namespace

TEST_F(UnitFileTest, EmptyUnitIsHeaderAndTerminatorIn24Bytes)
{
    const QByteArray bytes = encodeUnit({3, 3.0f, 0}, {}, true);
    ASSERT_EQ(bytes.size(), 24);
    EXPECT_EQ(bytes.toHex(), QByteArray("516b9a779c22094003000000000040400000000018fcffff"));
    const UnitReadResult read = readBytes(bytes);
    EXPECT_TRUE(read.terminated);
    EXPECT_EQ(read.header, (UnitHeader{3, 3.0f, 0}));
    EXPECT_TRUE(read.rows.empty());
}

TEST_F(UnitFileTest, StringLengthTakesOneThreeOrSevenBytes)
{
    EXPECT_EQ(stringBytes("").toHex(), QByteArray("fffeff00"));
    const QByteArray s254 = stringBytes(QString(254, u'字'));
    EXPECT_EQ(s254.size(), 4 + 254 * 2);
    EXPECT_EQ(s254.left(4).toHex(), QByteArray("fffefffe"));
    const QByteArray s255 = stringBytes(QString(255, u'a'));
    EXPECT_EQ(s255.size(), 6 + 255 * 2);
    EXPECT_EQ(s255.left(6).toHex(), QByteArray("fffeffffff00"));
    const QByteArray s65533 = stringBytes(QString(0xFFFD, u'a'));
    EXPECT_EQ(s65533.left(6).toHex(), QByteArray("fffefffffdff"));
    const QByteArray s65534 = stringBytes(QString(0xFFFE, u'a'));
    EXPECT_EQ(s65534.left(10).toHex(), QByteArray("fffeffffffff"
                                                  "feff0000"));

    // Each form reads back to the same text.
    for (const int length : {0, 254, 255, 0xFFFD, 0xFFFE, 70000}) {
        SentenceRow row = sentence(QString(length, u'x'));
        row[Text2] = QString(length / 2, u'字');
        const UnitReadResult read = readBytes(encodeUnit(kNewUnitHeader, {row}, false));
        ASSERT_EQ(read.rows.size(), 1u) << length;
        EXPECT_EQ(read.rows[0][Text], row[Text]);
        EXPECT_EQ(read.rows[0][Text2], row[Text2]);
    }
}

TEST_F(UnitFileTest, TitleRowsCarryTwelveFieldsSentencesEightNotebookAlwaysTwelve)
{
    SentenceRow head = title("第一课");
    head[MediaPath] = "..";
    head[MediaName] = "a.mp3";
    head[MediaLengthMs] = "61000";
    SentenceRow line = sentence("Hello.");
    line[SectionTitle] = "copied";
    line[MediaName] = "copied.mp3";

    QByteArray titleRecord, sentenceRecord, notebookRecord;
    appendRecord(titleRecord, head, false);
    appendRecord(sentenceRecord, line, false);
    appendRecord(notebookRecord, line, true);
    const int fixed = 4 * 6;
    EXPECT_EQ(titleRecord.size(), fixed + 4 + 4 + stringBytes("第一课").size() +
                                      stringBytes("..").size() + stringBytes("a.mp3").size() + 4);
    EXPECT_EQ(sentenceRecord.size(), fixed + stringBytes("Hello.").size() + 4);
    EXPECT_EQ(notebookRecord.size(), sentenceRecord.size() + stringBytes("copied").size() + 4 +
                                         stringBytes("copied.mp3").size() + 4);

    // Read as an ordinary Unit the copies are not in the file; in the
    // Notebook they are.
    const UnitReadResult unit = readBytes(encodeUnit(kNewUnitHeader, {head, line}, false));
    ASSERT_EQ(unit.rows.size(), 2u);
    EXPECT_EQ(unit.rows[0], head);
    EXPECT_EQ(unit.rows[1][SectionTitle], "");
    EXPECT_EQ(unit.rows[1][MediaName], "");
    EXPECT_EQ(unit.rows[1][MediaLengthMs], "");
    const UnitReadResult notebook = readBytes(encodeUnit(kNotebookHeader, {line}, true), true);
    ASSERT_EQ(notebook.rows.size(), 1u);
    EXPECT_EQ(notebook.rows[0][SectionTitle], "copied");
    EXPECT_EQ(notebook.rows[0][MediaName], "copied.mp3");
    EXPECT_EQ(notebook.rows[0][MediaLengthMs], "0");
}

TEST_F(UnitFileTest, SixteenBitFileIsRewrittenByteForByte)
{
    SentenceRow a = sentence("第一句", "1", "4", "20250305134501");
    a[StartMs] = "4294967295"; // "%u": the full unsigned range survives
    a[EndMs] = "1200";
    a[Text2] = "The first sentence.";
    SentenceRow b = sentence(QString(300, u'长'), "0", "0");
    const QByteArray first = encodeUnit({1, 2.5f, 1}, {title("一"), a, b, title("二")}, false);
    const UnitReadResult read = readBytes(first);
    ASSERT_TRUE(read.terminated);
    EXPECT_EQ(read.rows[1], a);
    EXPECT_EQ(encodeUnit(read.header, read.rows, false), first);
}

TEST_F(UnitFileTest, OlderEightBitStringsAreDecodedAsUtf8OrGb18030)
{
    const QByteArray gbk = QByteArray::fromHex("c4e3bac3"); // 你好 in GB18030
    QByteArray file = headerBytes();
    file += legacySentence(gbk, "caf\xc3\xa9"); // valid UTF-8 stays UTF-8
    file += legacySentence("\xff\x80", "");     // undecodable bytes
    file += int32Bytes(kTerminator);
    const UnitReadResult read = readBytes(file);
    ASSERT_TRUE(read.terminated);
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0][Text], "你好");
    EXPECT_EQ(read.rows[0][Text2], "café");
    EXPECT_EQ(read.rows[0][StartMs], "100");
    EXPECT_FALSE(read.rows[1][Text].isEmpty());

    // The writer always writes the 16-bit form.
    const QByteArray rewritten = encodeUnit(read.header, read.rows, false);
    EXPECT_TRUE(rewritten.contains(stringBytes("你好")));

    qputenv("DICTORA_CODEPAGE", "BIG5");
    QByteArray big5 = headerBytes();
    big5 += legacySentence(QByteArray::fromHex("a741a66e"), ""); // 你好 in Big5
    const UnitReadResult other = readBytes(big5 + int32Bytes(kTerminator));
    qunsetenv("DICTORA_CODEPAGE");
    ASSERT_EQ(other.rows.size(), 1u);
    EXPECT_EQ(other.rows[0][Text], "你好");
}

TEST_F(UnitFileTest, FileWithoutTerminatorLoadsEveryCompleteRecord)
{
    const std::vector<SentenceRow> rows{title("T"), sentence("one"), sentence("two")};
    QByteArray bytes = encodeUnit(kNewUnitHeader, rows, false);
    bytes.chop(4);
    const UnitReadResult read = readBytes(bytes);
    EXPECT_FALSE(read.terminated);
    EXPECT_EQ(read.rows, rows);
}

TEST_F(UnitFileTest, EveryTruncationKeepsExactlyTheCompleteRecords)
{
    const std::vector<SentenceRow> rows{title("T"), sentence("one", "1", "2", "20240101080000"),
                                        sentence(QString(260, u'x'))};
    const QByteArray bytes = encodeUnit(kNewUnitHeader, rows, false);
    std::vector<qsizetype> ends; // where each record ends
    QByteArray prefix = bytes.left(20);
    for (const SentenceRow& row : rows) {
        appendRecord(prefix, row, false);
        ends.push_back(prefix.size());
    }
    for (qsizetype cut = 0; cut < bytes.size(); ++cut) {
        const UnitReadResult read = readBytes(bytes.left(cut));
        size_t complete = 0;
        while (complete < ends.size() && ends[complete] <= cut)
            ++complete;
        ASSERT_EQ(read.headerRead, cut >= 20) << cut;
        ASSERT_EQ(read.rows.size(), cut >= 20 ? complete : 0u) << cut;
        for (size_t i = 0; i < read.rows.size(); ++i)
            EXPECT_EQ(read.rows[i], rows[i]);
        // What the next save writes is exactly the records that were read.
        if (read.headerRead) {
            EXPECT_EQ(encodeUnit(read.header, read.rows, false),
                      bytes.left(ends.empty() || complete == 0 ? 20 : ends[complete - 1]) +
                          int32Bytes(kTerminator));
        }
    }
}

TEST_F(UnitFileTest, HostileLengthsCostNoMoreThanTheBytesPresent)
{
    // A 32-bit length of four billion code units with a few bytes behind it,
    // then an 8-bit string claiming as much.
    QByteArray wide = headerBytes() + int32Bytes(1) + int32Bytes(0) + int32Bytes(0);
    wide += QByteArray::fromHex("fffeffffffff"
                                "ffffffff") +
            QByteArray(64, 'a');
    EXPECT_TRUE(readBytes(wide).rows.empty());
    QByteArray narrow = headerBytes() + int32Bytes(0) + int32Bytes(0) + int32Bytes(0);
    narrow += QByteArray::fromHex("ffffff"
                                  "feffffff") +
              QByteArray(64, 'a');
    EXPECT_TRUE(readBytes(narrow).rows.empty());

    // Garbage after a good record: the record stays, the rest is dropped.
    QByteArray garbage = encodeUnit(kNewUnitHeader, {title("T")}, false);
    garbage.chop(4);
    garbage += QByteArray::fromHex("0100000000000000ffff");
    const UnitReadResult read = readBytes(garbage);
    EXPECT_EQ(read.rows.size(), 1u);
    EXPECT_FALSE(read.terminated);
}

TEST_F(UnitFileTest, StudiedAtIsUnsignedAndOutOfRangeDatesAreHeldAtTheEnds)
{
    // 3000000000 seconds is 2065: beyond a signed 32-bit value.
    QByteArray file = headerBytes() + int32Bytes(1) + int32Bytes(0) + int32Bytes(0);
    file += stringBytes("x") + stringBytes("") + int32Bytes(1) + int32Bytes(1);
    file += int32Bytes(int32_t(3000000000u)) + int32Bytes(kTerminator);
    const UnitReadResult read = readBytes(file);
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(read.rows[0][StudiedAt], FormatStamp(3000000000));
    EXPECT_TRUE(read.rows[0][StudiedAt].startsWith("2065"));
    EXPECT_EQ(encodeUnit(read.header, read.rows, false), file);

    // A stamp before 1970 or after 2106 does not wrap into another century.
    SentenceRow early = sentence("e", "1", "1", "19600101000000");
    SentenceRow late = sentence("l", "1", "1", "21500101000000");
    const UnitReadResult clamped = readBytes(encodeUnit(kNewUnitHeader, {early, late}, false));
    EXPECT_EQ(clamped.rows[0][StudiedAt], FormatStamp(0));
    EXPECT_EQ(clamped.rows[1][StudiedAt], FormatStamp(UINT32_MAX));
}

TEST_F(UnitFileTest, EmptyStampIsWrittenAsTheDefaultAndOddKindsStayReadable)
{
    SentenceRow blank = sentence("x", "0", "0", "");
    const UnitReadResult read = readBytes(encodeUnit(kNewUnitHeader, {blank}, false));
    EXPECT_EQ(read.rows[0][StudiedAt], kDefaultStampText);

    // A kind text that is not exactly "0" but converts to 0 is written with
    // the twelve fields its number says, so the file still reads back whole.
    SentenceRow odd = title("odd");
    odd[Kind] = "00";
    const UnitReadResult again =
        readBytes(encodeUnit(kNewUnitHeader, {odd, sentence("after")}, false));
    ASSERT_TRUE(again.terminated);
    ASSERT_EQ(again.rows.size(), 2u);
    EXPECT_EQ(again.rows[0][SectionTitle], "odd");
    EXPECT_EQ(again.rows[1][Text], "after");
}

TEST_F(UnitFileTest, FormatMarkDecidesListingOnlyAndWritesAreAtomic)
{
    QTemporaryDir dir;
    const QString unit = dir.filePath("u.dat");
    const QString other = dir.filePath("other.dat");
    ASSERT_TRUE(writeFileAtomically(unit, encodeUnit(kNewUnitHeader, {title("T")}, false)).ok);
    QByteArray foreign = encodeUnit(kNewUnitHeader, {title("T")}, false);
    foreign[0] = 0x50;
    ASSERT_TRUE(writeAll(other, foreign));
    EXPECT_TRUE(hasFormatMark(unit));
    EXPECT_FALSE(hasFormatMark(other));
    EXPECT_FALSE(hasFormatMark(dir.filePath("missing.dat")));
    EXPECT_EQ(readUnitFile(other, false).rows.size(), 1u); // opened directly it loads
    EXPECT_FALSE(readUnitFile(dir.filePath("missing.dat"), false).opened);

    // Same bytes: the file is left untouched; a folder that is not there:
    // a reported failure and nothing written.
    const WriteOutcome same = writeFileAtomically(unit, readAll(unit), true);
    EXPECT_TRUE(same.ok);
    EXPECT_FALSE(same.written);
    const WriteOutcome failed = writeFileAtomically(dir.filePath("no/such.dat"), "x");
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}
