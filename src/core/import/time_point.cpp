// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/time_point.h"

#include <algorithm>
#include <limits>

namespace dictora {

namespace {

constexpr uint64_t kMaxMs = std::numeric_limits<uint32_t>::max();

// The value of the leading digits after leading white space, as the C
// library reads numbers; it stops growing once past any 32-bit time.
uint64_t leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    uint64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<uint64_t>(value * 10 + (text[i].unicode() - u'0'), kMaxMs + 1);
    return value;
}

// Splits `rest` at its last ":" into the field after it (returned) and the
// text before it (left in `rest`); without a ":" the whole rest is the field.
QStringView takeLastField(QStringView& rest, bool& hadColon)
{
    const qsizetype colon = rest.lastIndexOf(u':');
    hadColon = colon >= 0;
    if (!hadColon) {
        const QStringView field = rest;
        rest = {};
        return field;
    }
    const QStringView field = rest.mid(colon + 1);
    rest = rest.left(colon);
    return field;
}

bool allDigits(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    return std::all_of(trimmed.begin(), trimmed.end(),
                       [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

bool IsTimePoint(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    int colons = 0;
    bool digitsBefore = false; // the group just read had a digit
    bool inFraction = false;
    for (const QChar c : trimmed) {
        if (c >= u'0' && c <= u'9') {
            digitsBefore = true;
        } else if (c == u':' && !inFraction && digitsBefore && colons < 2) {
            ++colons;
            digitsBefore = false;
        } else if ((c == u'.' || c == u',') && !inFraction && digitsBefore) {
            inFraction = true;
            digitsBefore = false;
        } else {
            return false;
        }
    }
    return digitsBefore && colons > 0;
}

QStringView TimeLineEnd(QStringView afterArrow)
{
    const QStringView end = afterArrow.trimmed();
    for (qsizetype i = 0; i < end.size(); ++i) {
        if (end[i] == u' ' || end[i] == u'\t')
            return end.left(i);
    }
    return end;
}

bool IsAllDigits(const QString& text)
{
    return allDigits(text);
}

uint32_t ParseTimePoint(QStringView text)
{
    QStringView rest = text;
    qsizetype separator = rest.lastIndexOf(u'.');
    if (separator < 0)
        separator = rest.lastIndexOf(u',');

    uint64_t fractionMs = 0;
    if (separator >= 0) {
        const QStringView fraction = rest.mid(separator + 1).trimmed();
        if (fraction.size() == 2) {
            const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
            if (!isDigit(fraction[0]) || !isDigit(fraction[1]))
                return 0;
            fractionMs = leadingNumber(fraction) * 10;
        } else {
            fractionMs = leadingNumber(fraction);
        }
        rest = rest.left(separator);
    }

    uint64_t seconds = 0;
    const uint64_t perField[] = {1, 60, 3600};
    for (uint64_t scale : perField) {
        bool hadColon = false;
        const QStringView field = takeLastField(rest, hadColon);
        if (!allDigits(field))
            return 0;
        seconds += leadingNumber(field) * scale;
        if (!hadColon)
            break;
    }
    return uint32_t(std::min(fractionMs + seconds * 1000, kMaxMs));
}

} // namespace dictora
