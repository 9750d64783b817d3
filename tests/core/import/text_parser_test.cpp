// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/text_decoding.h"
#include "core/import/text_import.h"
#include "core/import/text_parser.h"

#include "core/import/test_files.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace dictora;

namespace {

// One file, read literally or tidily, and the rows it gives, each written
// "start-end text|text2".
struct ParseCase {
    const char* name;
    const char* fileName;
    const char* text; // UTF-8
    bool tidy;
    std::vector<const char*> rows;
};

void PrintTo(const ParseCase& c, std::ostream* out)
{
    *out << c.name;
}

QStringList rowsOf(const std::vector<SentenceRow>& rows)
{
    QStringList all;
    for (const SentenceRow& row : rows)
        all << QStringLiteral("%1-%2 %3|%4").arg(row[StartMs], row[EndMs], row[Text], row[Text2]);
    return all;
}

ParsedText parse(const QByteArray& bytes, const QString& fileName, bool tidy)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TextParseOptions options;
    options.format = textFormatOf(fileName);
    options.tidy = tidy;
    return parseText(buffer, kEncodingAnsi, makeImportedRow("x", {}, 0), options);
}

class ParseFile : public ::testing::TestWithParam<ParseCase> {};

} // namespace

TEST_P(ParseFile, GivesTheseRows)
{
    const ParseCase& c = GetParam();
    QStringList expected;
    for (const char* row : c.rows)
        expected << QString::fromUtf8(row);
    EXPECT_EQ(rowsOf(parse(c.text, c.fileName, c.tidy).rows), expected);
}

// Faults mended whether or not the learner reads tidily.
INSTANTIATE_TEST_SUITE_P(
    LineEnds, ParseFile,
    ::testing::Values(
        ParseCase{"LoneCarriageReturnsEndLines",
                  "song.lrc",
                  "[00:01.00]one\r[00:02.00]two\r\rlast",
                  false,
                  {"1000-0 one|", "2000-0 two|", "0-0 last|"}},
        ParseCase{"SubtitleBlocksWithoutIndex",
                  "film.srt",
                  "00:00:01,000 --> 00:00:02,500\r\nHello\r\n\r\n"
                  "00:00:03,000 --> 00:00:04,000\r\nWorld\r\nagain\r\n",
                  false,
                  {"1000-2500  Hello|", "3000-4000  World again|"}},
        ParseCase{"TimeLineInsideAParagraphIsText",
                  "notes.txt",
                  "intro\n00:00:01,000 --> 00:00:02,000\nHi\n",
                  false,
                  {"0-0 intro|", "0-0 00:00:01,000 --> 00:00:02,000|", "0-0 Hi|"}},
        ParseCase{
            "ArrowWithoutTwoTimesIsText", "notes.txt", "a --> b\n", false, {"0-0 a --> b|"}}));

// The same files, literally (as before) and tidily.
// A time line with SRT coordinates ends at the same time with or without the
// index line before it: the end time is read up to the first blank.
INSTANTIATE_TEST_SUITE_P(
    TimeLines, ParseFile,
    ::testing::Values(ParseCase{"CoordinatesWithoutIndexLine",
                                "film.srt",
                                "00:02:04,08 --> 00:02:07,12 X1:40 X2:600 Y1:20 Y2:50\nHello\n",
                                false,
                                {"124080-127120  Hello|"}},
                      ParseCase{"CoordinatesAfterIndexLine",
                                "film.srt",
                                "1\n00:02:04,08 --> 00:02:07,12 X1:40 X2:600 Y1:20 Y2:50\nHello\n",
                                false,
                                {"124080-127120  Hello|"}},
                      ParseCase{"TabAfterEndTimeAfterIndexLine",
                                "film.srt",
                                "7\r\n00:00:01,000 --> 00:00:02,500\tposition:10%\r\nHi\r\n",
                                true,
                                {"1000-2500  Hi|"}}));

INSTANTIATE_TEST_SUITE_P(
    Tidy, ParseFile,
    ::testing::Values(
        ParseCase{"MarkupStaysLiterally",
                  "film.srt",
                  "1\n00:00:01,000 --> 00:00:02,000\n<i>Hello</i> {\\an8}<font "
                  "color=\"#fff\">world</font>&nbsp;!\n",
                  false,
                  {"1000-2000  <i>Hello</i> {\\an8}<font color=\"#fff\">world</font>&nbsp;!|"}},
        ParseCase{"MarkupIsStrippedTidily",
                  "film.srt",
                  "1\n00:00:01,000 --> 00:00:02,000\n<i>Hello</i> {\\an8}<font "
                  "color=\"#fff\">world</font>&nbsp;!\n{\\an8}\n\n"
                  "2\n00:00:03,000 --> 00:00:04,000\nTom &amp; Jerry &lt;3 &#20320;\n",
                  true,
                  {"1000-2000  Hello world !|", "3000-4000  Tom & Jerry <3 你|"}},
        ParseCase{"LyricTagLinesLiterally",
                  "song.lrc",
                  "[ti:Song]\n[ar:Singer]\n[offset:+500]\n[00:01.00]one\n",
                  false,
                  {"0-0 |", "0-0 |", "0-0 |", "1000-0 one|"}},
        ParseCase{"LyricTagLinesTidily",
                  "song.lrc",
                  "[ti:Song]\n[ar:Singer]\n[al:Album]\n[by:me]\n[length: 03:20]\n"
                  "[00:01.00]one\n",
                  true,
                  {"1000-0 one|"}},
        ParseCase{"RefrainLiterally",
                  "song.lrc",
                  "[00:05.00]a\n[00:20.00][00:10.00]refrain\n[00:15.00]b\n",
                  false,
                  {"5000-0 a|", "20000-0 [00:10.00]refrain|", "15000-0 b|"}},
        ParseCase{"RefrainTidily",
                  "song.lrc",
                  "[00:05.00]a\n[00:20.00][00:10.00]refrain\n[00:15.00]b\n",
                  true,
                  {"5000-0 a|", "10000-0 refrain|", "15000-0 b|", "20000-0 refrain|"}},
        ParseCase{"WordTimesLiterally",
                  "song.lrc",
                  "[00:12.00]<00:12.00>Hello <00:12.50>world\n",
                  false,
                  {"12000-0 <00:12.00>Hello <00:12.50>world|"}},
        ParseCase{"WordTimesTidily",
                  "song.lrc",
                  "[00:12.00]<00:12.00>Hello <00:12.50>world\n",
                  true,
                  {"12000-0 Hello world|"}},
        ParseCase{"OffsetShiftsEveryTimeDownToZero",
                  "song.lrc",
                  "[00:00.30]a\n[offset:+500]\n[00:02.00]b\n",
                  true,
                  {"0-0 a|", "1500-0 b|"}},
        ParseCase{"NegativeOffsetDelays",
                  "song.lrc",
                  "[offset:-1000]\n[00:02.00]b\n",
                  true,
                  {"3000-0 b|"}},
        ParseCase{"EmptyTimedLineEndsTheOneBefore",
                  "song.lrc",
                  "[00:01.00]a\n[00:03.00]\n[00:05.00]b\n",
                  true,
                  {"1000-3000 a|", "5000-0 b|"}},
        ParseCase{"UntimedLinesKeepTheirPlace",
                  "song.lrc",
                  "Lyrics by someone\n[00:09.00]late\n[00:02.00]early\nno time\n",
                  true,
                  {"0-0 Lyrics by someone|", "2000-0 early|", "0-0 no time|", "9000-0 late|"}},
        ParseCase{"BracketThatIsNoTimeKeepsItsPlace",
                  "song.lrc",
                  "[00:05.00]a\n[Chorus] Sing\n[00:10.00]b\n",
                  true,
                  {"5000-0 a|", "0-0 Sing|", "10000-0 b|"}},
        ParseCase{"RussianAndChineseLiterallyAreOneScript",
                  "film.srt",
                  "1\n00:00:01,000 --> 00:00:02,000\nПривет\n你好\n\n"
                  "2\n00:00:03,000 --> 00:00:04,000\n谢谢\nСпасибо\n",
                  false,
                  {"1000-2000  Привет 你好|", "3000-4000  谢谢 Спасибо|"}},
        ParseCase{"RussianAndChineseTidilyByUnicodeScript",
                  "film.srt",
                  "1\n00:00:01,000 --> 00:00:02,000\nПривет!\n你好！\n\n"
                  "2\n00:00:03,000 --> 00:00:04,000\n谢谢。\nСпасибо, 1 раз.\n",
                  true,
                  {"1000-2000  Привет!| 你好！", "3000-4000  Спасибо, 1 раз.| 谢谢。"}}));

INSTANTIATE_TEST_SUITE_P(
    OtherFormats, ParseFile,
    ::testing::Values(
        ParseCase{"WebVtt",
                  "film.vtt",
                  "WEBVTT - a film\nKind: captions\n\n"
                  "NOTE a comment\nover two lines --> not a cue\n\n"
                  "STYLE\n::cue { color: red }\n\n"
                  "1\n00:01.000 --> 00:04.000 align:start position:10%\n"
                  "<v Roger>Hello &amp; welcome\n<c.yellow>你好</c>\n\n"
                  "closing-cue\n01:00:05.500 --> 01:00:07.000\n<i>Bye</i> <00:01:06.000>now\n\n"
                  "00:09.000 --> 00:10.000\n\n",
                  false,
                  {"1000-4000  Hello & welcome| 你好", "3605500-3607000  Bye now|"}},
        ParseCase{
            "Ass",
            "film.ass",
            "[Script Info]\nTitle: a film\n\n[V4+ Styles]\nFormat: Name, Fontname\n"
            "Style: Default,Arial\n\n[Events]\n"
            "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
            "Dialogue: 0,0:00:05.00,0:00:07.50,Default,,0,0,0,,Second, with a comma\n"
            "Comment: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,not shown\n"
            "Dialogue: 0,0:00:01.00,0:00:03.00,Default,,0,0,0,,{\\an8\\i1}Hello{\\i0}"
            "\\Nthere\\N你好\n"
            "Dialogue: 0,0:00:04.00,0:00:04.50,Default,,0,0,0,,{\\p1}m 0 0 l 100 0{\\p0}\n",
            false,
            {"1000-3000  Hello there| 你好", "5000-7500  Second, with a comma|"}},
        ParseCase{"SsaWithItsOwnColumns",
                  "old.SSA",
                  "[Events]\nFormat: Start, End, Text\n"
                  "Dialogue: 0:00:02.00,0:00:03.00,Hi,\\hthere\n"
                  "[Fonts]\nDialogue: 0:00:09.00,0:00:10.00,not an event\n",
                  true,
                  {"2000-3000  Hi, there|"}}));

TEST(ParseFile, LyricTitleIsReadOnlyTidily)
{
    const QByteArray lyric("[ti:Yesterday &amp; Today]\n[00:01.00]one\n");
    EXPECT_EQ(parse(lyric, "song.lrc", true).title, "Yesterday & Today");
    EXPECT_EQ(parse(lyric, "song.lrc", false).title, "");
}
