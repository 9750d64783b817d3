// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/markup_text.h"

#include <QStringList>

namespace dictora {

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The length of the tag that starts with "<" at `at`, or 0 when it is no
// tag: "<" or "</" and a letter, then anything but "<" up to ">"; or a word
// time, digits with ":" and "." between.
qsizetype tagLength(QStringView text, qsizetype at)
{
    qsizetype i = at + 1;
    if (i < text.size() && text[i] == u'/')
        ++i;
    if (i >= text.size())
        return 0;
    const bool wordTime = isAsciiDigit(text[i]);
    if (!wordTime && !isAsciiLetter(text[i]))
        return 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'>')
            return i + 1 - at;
        if (c == u'<' || (wordTime && !isAsciiDigit(c) && c != u':' && c != u'.'))
            return 0;
    }
    return 0;
}

// No entity is longer, "&" and ";" included: the look for its ";" stops
// there, so a line of "&" costs no more than a line of letters.
constexpr qsizetype kLongestEntity = 32;

// The character of the entity that starts with "&" at `at`, and its length;
// length 0 when it is none of those known.
QString entityAt(QStringView text, qsizetype at, qsizetype& length)
{
    length = 0;
    const qsizetype found = text.sliced(at, qMin(kLongestEntity, text.size() - at)).indexOf(u';');
    if (found < 0)
        return {};
    const qsizetype semicolon = at + found;
    const QStringView name = text.sliced(at + 1, semicolon - at - 1);
    static const struct {
        const char16_t* name;
        const char16_t* text;
    } named[] = {{u"nbsp", u" "},  {u"amp", u"&"},  {u"lt", u"<"}, {u"gt", u">"},
                 {u"quot", u"\""}, {u"apos", u"'"}, {u"lrm", u""}, {u"rlm", u""}};
    for (const auto& entity : named) {
        if (name == QStringView(entity.name)) {
            length = semicolon + 1 - at;
            return QString::fromUtf16(entity.text);
        }
    }
    if (name.size() < 2 || name[0] != u'#')
        return {};
    bool ok = false;
    const bool hex = name[1] == u'x' || name[1] == u'X';
    const uint code = name.sliced(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {};
    length = semicolon + 1 - at;
    const char32_t ucs4 = char32_t(code);
    return code == 0xA0 ? QStringLiteral(" ") : QString::fromUcs4(&ucs4, 1);
}

// Collapses runs of blanks (and tabs) into one blank and trims the ends.
QString collapseBlanks(const QString& text)
{
    QString out;
    out.reserve(text.size());
    bool pendingBlank = false;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t' || c == QChar(0xA0)) {
            pendingBlank = !out.isEmpty();
            continue;
        }
        if (pendingBlank)
            out += u' ';
        pendingBlank = false;
        out += c;
    }
    return out;
}

} // namespace

QString TidyText(const QString& line)
{
    // Most lines hold no markup: they are returned as they are, shared.
    bool plain = true;
    for (qsizetype i = 0; plain && i < line.size(); ++i) {
        const char16_t c = line[i].unicode();
        plain = !(c == u'<' || c == u'{' || c == u'&' || c == u'\t' || c == 0xA0 ||
                  (c == u' ' && (i == 0 || i + 1 == line.size() || line[i + 1] == u' ')));
    }
    return plain ? line : TidyText(QStringView(line));
}

QString TidyText(QStringView line)
{
    QString out;
    out.reserve(line.size());
    // Where the next "}" is: found once and kept while the text moves towards
    // it, and "none" for the rest of the line once none was found.
    qsizetype nextClose = -2; // not looked for yet
    for (qsizetype i = 0; i < line.size();) {
        const QChar c = line[i];
        if (c == u'<') {
            if (const qsizetype length = tagLength(line, i)) {
                i += length;
                continue;
            }
        } else if (c == u'{' && i + 1 < line.size() && line[i + 1] == u'\\') {
            if (nextClose == -2 || (nextClose >= 0 && nextClose < i))
                nextClose = line.indexOf(u'}', i);
            if (nextClose > 0) {
                i = nextClose + 1;
                continue;
            }
        } else if (c == u'&') {
            qsizetype length = 0;
            const QString character = entityAt(line, i, length);
            if (length > 0) {
                out += character;
                i += length;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return collapseBlanks(out);
}

QStringList AssEventLines(QStringView text)
{
    QStringList lines;
    QString current;
    bool drawing = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'{') {
            const qsizetype close = text.indexOf(u'}', i);
            if (close < 0)
                break; // an unclosed block hides the rest, as players show it
            const QStringView block = text.sliced(i + 1, close - i - 1);
            // \p1 and above start a drawing in vector commands, \p0 ends it.
            for (qsizetype p = block.indexOf(u"\\p"); p >= 0; p = block.indexOf(u"\\p", p + 2)) {
                if (p + 2 < block.size() && isAsciiDigit(block[p + 2]))
                    drawing = block[p + 2] != u'0';
            }
            i = close;
            continue;
        }
        if (drawing)
            continue;
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == u'N' || next == u'n') {
                lines << current.trimmed();
                current.clear();
                ++i;
                continue;
            }
            if (next == u'h') {
                current += u' ';
                ++i;
                continue;
            }
        }
        current += c;
    }
    lines << current.trimmed();
    lines.removeAll(QString());
    return lines;
}

} // namespace dictora
