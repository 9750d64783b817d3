// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dictation/answer_diff.h"

#include "core/dictation/answer_checking.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace dictora;

namespace {

// The marked answer in one line: {missing}, <extra>, [typed/expected];
// right and plain text as they stand.
QString marked(const AnswerDiff& diff)
{
    QString out;
    for (const DiffPiece& piece : diff.pieces) {
        switch (piece.mark) {
        case DiffMark::Plain:
        case DiffMark::Right:
            out += piece.text;
            break;
        case DiffMark::Missing:
            out += u'{' + piece.text + u'}';
            break;
        case DiffMark::Extra:
            out += u'<' + piece.text + u'>';
            break;
        case DiffMark::Wrong:
            out += u'[' + piece.text + u'/' + piece.expected + u']';
            break;
        }
    }
    return out;
}

struct DiffCase {
    const char16_t* sentence;
    const char16_t* answer;
    const char16_t* marked;
    const char16_t* missed; // missed words, joined by "|"
    const char* why;
};

void PrintTo(const DiffCase& c, std::ostream* out)
{
    *out << c.why;
}

class AnswerDiffTable : public ::testing::TestWithParam<DiffCase> {};

TEST_P(AnswerDiffTable, MarksTheWholeAnswerAgainstTheSentence)
{
    const DiffCase& c = GetParam();
    const QString sentence = QString::fromUtf16(c.sentence);
    const QString answer = QString::fromUtf16(c.answer);
    const AnswerDiff diff = diffAnswer(sentence, answer);
    EXPECT_EQ(marked(diff), QString::fromUtf16(c.marked));
    EXPECT_EQ(diff.missedWords.join(u'|'), QString::fromUtf16(c.missed));

    // The marking never disagrees with answer checking, and the typed text
    // is shown as typed, missing text only added.
    EXPECT_EQ(diff.hasErrors(), !CompareAnswer(sentence, answer).matches());
    QString typed;
    for (const DiffPiece& piece : diff.pieces)
        if (piece.mark != DiffMark::Missing)
            typed += piece.text;
    EXPECT_EQ(typed, answer);
}

INSTANTIATE_TEST_SUITE_P(
    Latin, AnswerDiffTable,
    ::testing::Values(
        DiffCase{u"Hello, World!", u"hello world", u"hello world", u"", "case and punctuation"},
        DiffCase{u"It's 5 o'clock", u"its oclock", u"its oclock", u"", "digits and apostrophes"},
        DiffCase{u"I am here.", u"I here", u"I{ am} here", u"am", "a missing word"},
        DiffCase{u"I am here.", u"I am not here", u"I am <not> here", u"", "an extra word"},
        DiffCase{u"Hello world", u"Helo world", u"He{l}lo world", u"hello", "a letter left out"},
        DiffCase{u"The cat sat.", u"the cut sat", u"the c[u/a]t sat", u"cat", "a wrong letter"},
        DiffCase{u"The cat sat.", u"the dog sat", u"the <dog>{ cat} sat", u"cat",
                 "another word: extra and missing"},
        DiffCase{u"hello.", u"hello there", u"hello <there>", u"",
                 "answer beyond the sentence's last punctuation"},
        DiffCase{u"hello", u"hello there", u"hello there", u"",
                 "the sentence runs out first: accepted, so no mark"},
        DiffCase{u"Everyone went home.", u"every one went hom", u"every one went hom{e}",
                 u"home", "blanks inside a word do not count"},
        DiffCase{u"привет, мир", u"привет мор", u"привет м[о/и]р", u"мир", "Cyrillic typo"},
        DiffCase{u"I am here.", u"", u"{I am here.}", u"i|am|here", "nothing typed"}));

INSTANTIATE_TEST_SUITE_P(
    Characters, AnswerDiffTable,
    ::testing::Values(
        DiffCase{u"你好，世界。", u"你好世界", u"你好世界", u"", "full-width punctuation"},
        DiffCase{u"你好，世界。", u"你好，世间", u"你好，世[间/界]", u"界", "a wrong character"},
        DiffCase{u"我们是朋友", u"我是朋友", u"我{们}是朋友", u"们", "a missing character"},
        DiffCase{u"我是朋友", u"我们是朋友", u"我<们>是朋友", u"", "an extra character"},
        DiffCase{u"我们是好朋友", u"我是朋", u"我{们}是{好}朋{友}", u"们|好|友",
                 "characters apart are separate words"},
        DiffCase{u"他不喜欢吃鱼", u"他吃鱼", u"他{不喜欢}吃鱼", u"不喜欢",
                 "neighbouring missed characters are one word"},
        DiffCase{u"好", u"号", u"[号/好]", u"好", "a sentence of one character, wrong"},
        DiffCase{u"好", u"", u"{好}", u"好", "a sentence of one character, not typed"},
        DiffCase{u"好。", u"好", u"好", u"", "a sentence of one character, right"},
        DiffCase{u"我说OK了", u"我说ok", u"我说ok{了}", u"了", "Latin inside Chinese"}));

TEST(AnswerDiff, LongAnswersFarApartStillMarkEveryTypedCharacter)
{
    QString sentence;
    QString answer;
    for (int k = 0; k < 600; ++k) {
        sentence += QChar(0x4E00 + k);
        answer += QChar(0x5E00 + k);
    }
    const AnswerDiff diff = diffAnswer(sentence, answer);
    QString typed;
    for (const DiffPiece& piece : diff.pieces)
        if (piece.mark != DiffMark::Missing)
            typed += piece.text;
    EXPECT_EQ(typed, answer);
    EXPECT_TRUE(diff.hasErrors());
}

} // namespace
