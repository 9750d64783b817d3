// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/syllable_count.h"

#include <algorithm>

namespace dictora {

namespace {

bool isVowelLetter(QChar c)
{
    // Accents off: "é", "ü" and their like are vowels as their base letter.
    const QString base = QString(c).normalized(QString::NormalizationForm_D);
    const QChar letter = base.isEmpty() ? c : base.front().toLower();
    return QStringLiteral("aeiouy").contains(letter);
}

bool isSyllableCharacter(QChar c)
{
    const QChar::Script script = c.script();
    return script == QChar::Script_Han || script == QChar::Script_Hiragana ||
           script == QChar::Script_Katakana || script == QChar::Script_Hangul;
}

// An alphabetic word's vowel groups; "-e" at the end of a longer word is
// mostly silent ("make", "whose"), "-le" after a consonant is not ("table").
int wordSyllables(const QString& word)
{
    int groups = 0;
    bool inVowel = false;
    for (const QChar c : word) {
        const bool vowel = isVowelLetter(c);
        if (vowel && !inVowel)
            ++groups;
        inVowel = vowel;
    }
    const QString lower = word.toLower();
    const qsizetype n = lower.size();
    if (groups > 1 && n > 2 && lower.endsWith(u'e') && !isVowelLetter(lower[n - 2]) &&
        !(lower[n - 2] == u'l' && !isVowelLetter(lower[n - 3])))
        --groups;
    return std::max(groups, 1);
}

} // namespace

int syllableCount(const QString& sentence)
{
    int count = 0;
    QString word;
    const auto endWord = [&] {
        if (!word.isEmpty())
            count += wordSyllables(word);
        word.clear();
    };
    for (const QChar c : sentence) {
        if (isSyllableCharacter(c) || c.isDigit()) {
            endWord();
            ++count;
        } else if (c.isLetter() || c.isMark()) {
            word += c;
        } else if (c != u'\'' && c != u'\u2019') {
            endWord();
        }
    }
    endWord();
    return std::max(count, 1);
}

} // namespace dictora
