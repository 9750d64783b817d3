// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/number_text.h"


namespace dictora {

namespace {

// Leading blanks, an optional sign and the longest run of digits, accumulated
// in 64 bits and then cut to 32 bits as a 32-bit store does.
int64_t leadingInteger(QStringView text)
{
    // Most numbers in a Unit are one plain digit.
    if (text.size() == 1 && text[0] >= u'0' && text[0] <= u'9')
        return text[0].unicode() - u'0';
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    uint64_t value = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = value * 10 + uint64_t(text[i].unicode() - u'0');
    return negative ? -int64_t(value) : int64_t(value);
}

} // namespace

int32_t textToInt(QStringView text)
{
    return int32_t(uint32_t(uint64_t(leadingInteger(text))));
}

uint32_t textToUInt(QStringView text)
{
    return uint32_t(uint64_t(leadingInteger(text)));
}

int32_t textToInt(const QString& text)
{
    return textToInt(QStringView(text));
}

uint32_t textToUInt(const QString& text)
{
    return textToUInt(QStringView(text));
}

} // namespace dictora
