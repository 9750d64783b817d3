// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/sentence_split.h"

#include <QSet>

namespace dictora {

namespace {

bool isCjkStop(QChar c)
{
    return c == u'。' || c == u'！' || c == u'？' || c == u'｡' || c == u'．';
}

bool isLatinStop(QChar c)
{
    return c == u'.' || c == u'!' || c == u'?' || c == u'…';
}

bool isCloser(QChar c)
{
    return c == u'"' || c == u'\'' || c == u')' || c == u']' || c == u'”' || c == u'’' ||
           c == u'」' || c == u'』' || c == u'）' || c == u'》' || c == u'»';
}

bool hasWordCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (c.isLetterOrNumber())
            return true;
    }
    return false;
}

// The word that ends at `end` (exclusive), without leading punctuation.
QString wordBefore(const QString& line, int end)
{
    int start = end;
    while (start > 0 && !line.at(start - 1).isSpace())
        --start;
    QString word = line.mid(start, end - start);
    while (!word.isEmpty() && !word.front().isLetterOrNumber())
        word.remove(0, 1);
    return word;
}

bool isAbbreviation(const QString& word)
{
    static const QSet<QString> known = {
        QStringLiteral("mr"),  QStringLiteral("mrs"),   QStringLiteral("ms"),
        QStringLiteral("dr"),  QStringLiteral("prof"),  QStringLiteral("st"),
        QStringLiteral("sr"),  QStringLiteral("jr"),    QStringLiteral("vs"),
        QStringLiteral("etc"), QStringLiteral("e.g"),   QStringLiteral("i.e"),
        QStringLiteral("no"),  QStringLiteral("vol"),   QStringLiteral("fig"),
        QStringLiteral("mt"),  QStringLiteral("approx")};
    if (word.size() == 1 && word.front().isUpper())
        return true;
    return known.contains(word.toLower());
}

} // namespace

QStringList splitSentences(const QString& line)
{
    QStringList pieces;
    int start = 0;
    const int size = int(line.size());
    for (int i = 0; i < size; ++i) {
        const QChar c = line.at(i);
        const bool cjk = isCjkStop(c);
        if (!cjk && !isLatinStop(c))
            continue;
        int end = i + 1;
        while (end < size &&
               (isLatinStop(line.at(end)) || isCjkStop(line.at(end)) || isCloser(line.at(end))))
            ++end;
        if (!cjk) {
            if (end >= size || !line.at(end).isSpace())
                continue;
            int next = end;
            while (next < size && line.at(next).isSpace())
                ++next;
            if (next < size && (line.at(next).isLower() || line.at(next).isDigit()))
                continue;
            if (c == u'.' && isAbbreviation(wordBefore(line, i)))
                continue;
        }
        pieces << line.mid(start, end - start).trimmed();
        start = end;
        i = end - 1;
    }
    pieces << line.mid(start).trimmed();

    QStringList sentences;
    for (const QString& piece : pieces) {
        if (piece.isEmpty())
            continue;
        if (!hasWordCharacter(piece) && !sentences.isEmpty())
            sentences.last() += u' ' + piece;
        else
            sentences << piece;
    }
    if (sentences.size() == 1 && !hasWordCharacter(sentences.front()))
        sentences.clear();
    return sentences;
}

QStringList transcriptSentences(const QStringList& lines)
{
    QStringList sentences;
    for (const QString& line : lines)
        sentences += splitSentences(line);
    return sentences;
}

} // namespace dictora
