// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/sentence_language.h"

#include "support/print_qstring.h"

#include <gtest/gtest.h>

using namespace dictora;

TEST(SentenceLanguage, TellsTheLanguageByScriptThenByCommonWords)
{
    struct Case {
        const char* sentences; // separated by "|"
        const char* language;
    };
    const Case cases[] = {
        {"", "en"},
        {"Where is the station?|I don't know what you mean.", "en"},
        {"Bob|Alice|Paris", "en"},
        {"Je ne sais pas.|C'est une bonne idée, mais nous sommes en retard.", "fr"},
        {"Ich weiß es nicht.|Das ist nicht mein Auto, und wir sind müde.", "de"},
        {"¿Qué estás haciendo?|Yo no lo sé, pero está muy bien.", "es"},
        {"Non lo so.|Questo è il mio amico, ma non sono sicuro.", "it"},
        {"Eu não sei.|Você tem muito tempo, isso é bom.", "pt"},
        {"Ik weet het niet.|Wat is dat? Het is een mooie dag en ik ben blij.", "nl"},
        {"你好, 我叫小明.|今天天气很好.", "zh"},
        {"我们今天去吃饭, 然后去看电影, 晚上回家休息.|他说了一句の.", "zh"},
        {"私は学生です.|東京に行きたいです.", "ja"},
        {"안녕하세요.|감사합니다.", "ko"},
        {"Я не знаю.|Где вокзал?", "ru"},
        {"我喜欢 Beatles 的歌, 特别是他们早期的作品.", "zh"},
        {"The word 你好 means hello in Chinese, and we say it every day.", "en"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentences);
        EXPECT_EQ(
            languageOfSentences(QString::fromUtf8(c.sentences).split(u'|', Qt::SkipEmptyParts)),
            c.language);
    }
}

TEST(SentenceLanguage, ReadsOnlyTheSentencesOfAUnit)
{
    // Titles and the Chinese prompt line do not count: this is a French Unit.
    std::vector<SentenceRow> rows{makeTitleRow(QStringLiteral("第一课 电影")), makeSentenceRow()};
    rows[1][Text] = QStringLiteral("C'est la vie, je ne sais pas.");
    rows[1][Text2] = QStringLiteral("这就是生活, 我不知道.");
    EXPECT_EQ(languageOfRows(rows), "fr");
    EXPECT_EQ(languageOfRows({rows[0]}), "en"); // no sentences
}
