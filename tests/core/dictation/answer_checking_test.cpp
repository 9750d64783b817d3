// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dictation/answer_checking.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace dictora;

namespace {

struct Comparison {
    const char16_t* sentence;
    const char16_t* answer;
    int answerIndex; // -1: the answer matches
    const char* why;
};

void PrintTo(const Comparison& c, std::ostream* out)
{
    *out << c.why;
}

class CompareAnswerTable : public ::testing::TestWithParam<Comparison> {};

TEST_P(CompareAnswerTable, FindsTheFirstWrongCharacterOfTheAnswer)
{
    const Comparison& c = GetParam();
    const AnswerMismatch result =
        CompareAnswer(QString::fromUtf16(c.sentence), QString::fromUtf16(c.answer));
    EXPECT_EQ(result.answerIndex, c.answerIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, CompareAnswerTable,
    ::testing::Values(
        Comparison{u"Hello, World!", u"hello world", -1, "case, blanks and punctuation"},
        Comparison{u"It's 5 o'clock", u"its oclock", -1, "digits and apostrophes"},
        Comparison{u"  Hello  ", u"HELLO", -1, "trimmed, upper case"},
        Comparison{u"hello", u"hello there", -1, "the sentence runs out first"},
        Comparison{u"hello.", u"hello there", 6, "a character left after the sentence"},
        Comparison{u"hello", u"hel", 3, "a correct prefix stops at its end"},
        Comparison{u"hello", u"help", 3, "the first wrong letter"},
        Comparison{u"hello world", u"hello word", 9, "a letter left out"},
        Comparison{u"我们走吧", u"我们走吧", -1, "Chinese, character by character"},
        Comparison{u"我们走吧", u"我们去吧", 2, "a wrong Chinese character"},
        Comparison{u"你好，世界", u"你好，世界", -1, "full-width comma typed"},
        Comparison{u"你好，世界", u"你好世界", -1, "full-width comma left out"},
        Comparison{u"你好，世界", u"你好,世界", -1, "ASCII comma for a full-width one"},
        Comparison{u"你好，世界", u"你好，世X", 4, "the character after a full-width form counts"},
        Comparison{u"好。", u"好", -1, "ideographic full stop"},
        Comparison{u"It\u2019s \u201cfine\u201d", u"its fine", -1, "curly quotes"},
        Comparison{u"a", u"a", -1, "one-character sentence"},
        Comparison{u"a", u"b", 0, "one-character sentence, wrong"},
        Comparison{u"1, 2, 3!", u"", -1, "no significant character, empty answer"},
        Comparison{u"1, 2, 3!", u"123", -1, "no significant character, digits typed"},
        Comparison{u"", u"", -1, "empty sentence"},
        Comparison{u"caf\u00e9", u"caf", -1, "Latin-1 letters do not count"}));

TEST(CountLetters, CountsSignificantCharactersOfBothTexts)
{
    const LetterCounts counts =
        CountLetters(QStringLiteral("hello wor"), QStringLiteral("Hello, World!"));
    EXPECT_EQ(counts.typed, 8);
    EXPECT_EQ(counts.total, 10);
    EXPECT_EQ(CountLetters(QStringLiteral("你好世界"), QStringLiteral("你好，世界。")).total, 4);
    EXPECT_EQ(CountLetters(QString(), QStringLiteral("42 !")).total, 0);
}

struct Starter {
    const char16_t* text;
    const char16_t* starter;
};

class AnswerStarterTable : public ::testing::TestWithParam<Starter> {};

TEST_P(AnswerStarterTable, TakesUpToFourCharactersFromTheFront)
{
    EXPECT_EQ(AnswerStarter(QString::fromUtf16(GetParam().text)),
              QString::fromUtf16(GetParam().starter));
}

INSTANTIATE_TEST_SUITE_P(Examples, AnswerStarterTable,
                         ::testing::Values(Starter{u"I am here.", u"I am"},
                                           Starter{u"Hello, world", u"Hell"}, Starter{u"a", u""},
                                           Starter{u"ab", u"a"}, Starter{u" 3. go", u"g"},
                                           Starter{u"\"Yes\" she said", u"\"Yes"},
                                           Starter{u"你，好吗", u"你好"},
                                           Starter{u"我们走吧。", u"我们走吧"}));

} // namespace
