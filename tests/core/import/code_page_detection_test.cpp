// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/code_page_detection.h"
#include "core/import/text_import.h"

#include "core/import/content_change_question.h"
#include "core/import/test_files.h"

#include <iconv.h>

#include <gtest/gtest.h>

using namespace dictora;
using dictora::test::FileFolder;
using Basis = CodePageChoice::Basis;

namespace {

// The text in a legacy code page, as an older editor saved it.
QByteArray encoded(const QString& text, const char* codePage)
{
    const QByteArray utf8 = text.toUtf8();
    const iconv_t cd = iconv_open(codePage, "UTF-8");
    EXPECT_NE(cd, iconv_t(-1)) << codePage;
    QByteArray out(utf8.size() * 4, 0);
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    EXPECT_NE(iconv(cd, &in, &inLeft, &outPtr, &outLeft), size_t(-1)) << codePage;
    iconv_close(cd);
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}

struct DetectionCase {
    const char* name;
    const char* text; // UTF-8, saved in `savedAs`
    const char* savedAs;
    const char* chosen;
    Basis basis;
};

void PrintTo(const DetectionCase& c, std::ostream* out)
{
    *out << c.name;
}

class DetectCodePage : public ::testing::TestWithParam<DetectionCase> {};

const char* const kTraditional =
    "1\r\n00:00:01,000 --> 00:00:03,000\r\n我們今天去看電影，然後一起吃晚飯。\r\n\r\n"
    "2\r\n00:00:04,000 --> 00:00:06,000\r\n你覺得這部電影怎麼樣？\r\n";
const char* const kSimplified = "[00:01.00]我们今天去看电影，然后一起吃晚饭。\r\n"
                                "[00:04.00]你觉得这部电影怎么样？\r\n";

} // namespace

TEST_P(DetectCodePage, ChoosesThisCodePage)
{
    const DetectionCase& c = GetParam();
    FileFolder folder;
    const CodePageChoice choice =
        DetectAnsiCodePage(folder.write("t.srt", encoded(QString::fromUtf8(c.text), c.savedAs)));
    EXPECT_EQ(choice.codePage, c.chosen) << choice.reason.toStdString();
    EXPECT_EQ(choice.basis, c.basis) << choice.reason.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, DetectCodePage,
    ::testing::Values(
        DetectionCase{"Big5", kTraditional, "BIG5", "CP950", Basis::Detected},
        DetectionCase{"ShiftJis",
                      "今日は映画を見に行きました。\nとても面白かったです。\n"
                      "明日も一緒に行きましょうか？\n",
                      "SHIFT_JIS", "CP932", Basis::Detected},
        DetectionCase{"Cp1251",
                      "Привет, как дела?\r\nСегодня мы пойдём в кино.\r\n"
                      "Это очень интересный фильм.\r\n",
                      "CP1251", "WINDOWS-1251", Basis::Detected},
        DetectionCase{"Cp1252Accents", "Il était une fois une fée.\nÇa va très bien, merci.\n",
                      "CP1252", "WINDOWS-1252", Basis::Detected},
        DetectionCase{"Gb18030", kSimplified, "GB18030", "GB18030", Basis::Detected},
        // Too short to tell apart: the detector names ISO-8859-16 for the
        // one and UTF-8 for the other, but both read right in GB18030.
        DetectionCase{"ShortGb18030", "你好\n", "GB18030", "GB18030", Basis::Unsure},
        DetectionCase{"ShortGb18030Again", "谢谢你\n", "GB18030", "GB18030", Basis::Unsure},
        DetectionCase{"Utf8NeedsNone", "你好, world\n", "UTF-8", "GB18030", Basis::NotNeeded}));

TEST(DetectCodePage, EnvironmentDecidesWithoutDetection)
{
    FileFolder folder;
    const QString path = folder.write("t.srt", encoded(QString::fromUtf8(kTraditional), "BIG5"));
    qputenv("DICTORA_CODEPAGE", "GB18030");
    const CodePageChoice choice = DetectAnsiCodePage(path);
    qunsetenv("DICTORA_CODEPAGE");
    EXPECT_EQ(choice.codePage, "GB18030");
    EXPECT_EQ(choice.basis, Basis::Environment);
}

TEST(DetectCodePage, ImportReadsTheDetectedCodePage)
{
    class Never : public ContentChangeQuestion {
        ContentChangeChoice ask() override { return ContentChangeChoice::Cancel; }
    } never;
    FileFolder folder;
    TextImportRequest request;
    request.textPath = folder.write("film.srt", encoded(QString::fromUtf8(kTraditional), "BIG5"));
    SentenceTable table;
    StudyState state;
    const TextImportOutcome outcome = ImportTextFile(table, state, request, never);
    EXPECT_EQ(outcome.codePage.codePage, "CP950");
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.field(1, Text), QString::fromUtf8(" 我們今天去看電影，然後一起吃晚飯。"));
    EXPECT_EQ(table.field(2, Text), QString::fromUtf8(" 你覺得這部電影怎麼樣？"));
}
