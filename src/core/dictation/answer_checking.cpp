// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dictation/answer_checking.h"

namespace dictora {

namespace {

bool isFullWidthForm(char16_t c)
{
    return c >= 0xFF00;
}

char16_t lowered(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}

// The next significant character at or after index, or text.size().
qsizetype nextSignificant(QStringView text, qsizetype index)
{
    while (index < text.size() && !isSignificant(text[index]))
        ++index;
    return index;
}

} // namespace

bool isSignificant(QChar c)
{
    const char16_t code = lowered(c.unicode());
    if (code >= u'a' && code <= u'z')
        return true;
    if (code < 0x100 || isFullWidthForm(code))
        return false;
    // Curly quotes, dashes, "。" and "、" are punctuation however they are
    // typed; a learner cannot be asked to match them.
    return !c.isPunct() && !c.isSpace() && !c.isSymbol();
}

QString comparableText(QStringView text)
{
    QString out = text.trimmed().toString();
    for (QChar& c : out)
        c = QChar(lowered(c.unicode()));
    return out;
}

AnswerMismatch CompareAnswer(QStringView sentence, QStringView answer)
{
    const QString s = comparableText(sentence);
    const QString a = comparableText(answer);
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < s.size()) {
        i = nextSignificant(s, i);
        const char16_t sc = i < s.size() ? s[i].unicode() : 0;
        j = nextSignificant(a, j);
        const char16_t ac = j < a.size() ? a[j].unicode() : 0;
        if (sc != ac)
            return {int(j), int(i)};
        ++i;
        ++j;
    }
    return {};
}

int countSignificant(QStringView text)
{
    const QString t = comparableText(text);
    int count = 0;
    for (QChar c : t)
        count += isSignificant(c) ? 1 : 0;
    return count;
}

LetterCounts CountLetters(QStringView answer, QStringView sentence)
{
    return {countSignificant(answer), countSignificant(sentence)};
}

QString AnswerStarter(QStringView text)
{
    constexpr int kStarterLength = 4;
    QString starter;
    for (qsizetype k = 0; k + 1 < text.size() && starter.size() < kStarterLength; ++k) {
        const char16_t c = text[k].unicode();
        if (isFullWidthForm(c))
            continue;
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (c >= 0x100 || letter || c == u'"' || c == u'\'')
            starter += QChar(c);
        else if ((c == u'.' || c == u' ') && !starter.isEmpty())
            starter += QChar(c);
    }
    return starter;
}

} // namespace dictora
