// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/sentence_language.h"

#include <QHash>
#include <QSet>

#include <array>

namespace dictora {

namespace {

// The languages of Latin letters told apart, and words that are frequent in
// each and rarer in the others. Words common to several ("que", "de", "la")
// are left out; the few kept in two lists ("es", "está") vote for both.
struct LatinLanguage {
    const char* code;
    const char* words;
};

const std::array<LatinLanguage, 7> kLatinLanguages{{
    {"en", "the and you is are was what this that have with not it's don't i'm your they "
           "we he she of to my me be will would there all just can"},
    {"fr", "le les et est je tu vous nous pas une des qui dans pour avec mais oui "
           "c'est suis ai au aux ce cette sont fait bien moi toi rien"},
    {"de", "der die das und ist ich du nicht ein eine es wir zu mit den dem auf was wie "
           "auch sind bin hast habe mir dich mich sie kein"},
    {"es", "el los las y es yo lo qué está pero muy sí tú por para con una del al "
           "estoy eres tengo nada esto bueno"},
    {"it", "il gli è che di non sono io ma questo come ho mi ti si ci della per sei "
           "hai cosa bene anche niente"},
    {"pt", "os não um uma em você eu muito está do da das dos isso tem meu minha "
           "ele ela sim obrigado também"},
    {"nl", "het een en ik je niet van dat wat zijn we met op maar ook hij zij mijn "
           "jij heb er naar hebben"},
}};

// Each word and the languages it votes for; built once.
const QHash<QString, QList<int>>& latinWords()
{
    static const QHash<QString, QList<int>> words = [] {
        QHash<QString, QList<int>> table;
        for (int i = 0; i < int(kLatinLanguages.size()); ++i) {
            const QStringList list =
                QString::fromUtf8(kLatinLanguages[size_t(i)].words).split(u' ', Qt::SkipEmptyParts);
            for (const QString& word : list) {
                QList<int>& languages = table[word];
                if (!languages.contains(i))
                    languages << i;
            }
        }
        return table;
    }();
    return words;
}

// The code of a script that tells its language alone; empty for Latin and
// for characters of no script.
const char* scriptLanguage(QChar::Script script)
{
    switch (script) {
    case QChar::Script_Han:
        return "zh";
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
        return "ja";
    case QChar::Script_Hangul:
        return "ko";
    case QChar::Script_Cyrillic:
        return "ru";
    case QChar::Script_Greek:
        return "el";
    case QChar::Script_Arabic:
        return "ar";
    case QChar::Script_Hebrew:
        return "he";
    case QChar::Script_Thai:
        return "th";
    case QChar::Script_Devanagari:
        return "hi";
    default:
        return "";
    }
}

} // namespace

QString languageOfSentences(const QStringList& sentences)
{
    qint64 latin = 0, kana = 0;
    QHash<QString, qint64> scripts;
    std::array<qint64, kLatinLanguages.size()> votes{};
    const QHash<QString, QList<int>>& words = latinWords();
    for (const QString& sentence : sentences) {
        QString word;
        const auto vote = [&] {
            for (int language : words.value(word))
                ++votes[size_t(language)];
            word.clear();
        };
        for (const char32_t c : sentence.toUcs4()) {
            const QChar::Script script = QChar::script(c);
            if (script == QChar::Script_Latin) {
                ++latin;
                if (c <= 0xFFFF)
                    word += QChar(char16_t(c)).toLower();
                else
                    word += QString::fromUcs4(&c, 1).toLower();
                continue;
            }
            // An apostrophe inside a word belongs to it: "don't", "c'est".
            if ((c == u'\'' || c == u'\u2019') && !word.isEmpty()) {
                word += u'\'';
                continue;
            }
            vote();
            const char* language = scriptLanguage(script);
            if (*language) {
                ++scripts[QString::fromLatin1(language)];
                if (script == QChar::Script_Hiragana || script == QChar::Script_Katakana)
                    ++kana;
            }
        }
        vote();
    }

    // The script of most letters; Japanese writes Han and kana together.
    QString best;
    qint64 bestCount = latin;
    for (auto it = scripts.cbegin(); it != scripts.cend(); ++it) {
        qint64 count = it.value();
        if (it.key() == QLatin1String("zh") || it.key() == QLatin1String("ja"))
            count = scripts.value(QStringLiteral("zh")) + kana;
        if (count > bestCount || (count == bestCount && !best.isEmpty() && it.key() < best)) {
            best = it.key();
            bestCount = count;
        }
    }
    if (best == QLatin1String("zh") || best == QLatin1String("ja")) {
        // A few kana in a long Chinese text are quoted Japanese; Japanese
        // text has them in nearly every sentence.
        return kana * 10 >= bestCount ? QStringLiteral("ja") : QStringLiteral("zh");
    }
    if (!best.isEmpty())
        return best;

    // Latin letters: the language with the most votes, English on a tie.
    size_t chosen = 0;
    for (size_t i = 1; i < votes.size(); ++i) {
        if (votes[i] > votes[chosen])
            chosen = i;
    }
    return QString::fromLatin1(kLatinLanguages[chosen].code);
}

QString languageOfRows(const std::vector<SentenceRow>& rows)
{
    // A few hundred sentences tell the language as well as a whole film.
    constexpr qsizetype kEnough = 500;
    QStringList sentences;
    for (const SentenceRow& row : rows) {
        if (row[Kind] != QLatin1String("0"))
            sentences << row[Text];
        if (sentences.size() == kEnough)
            break;
    }
    return languageOfSentences(sentences);
}

} // namespace dictora
