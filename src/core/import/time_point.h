// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace dictora {

// Milliseconds of a time text such as "01:02.03", "00:01:02,500" or "12":
// seconds with an optional fraction after the last "." (else the last ","),
// and up to two more colon-separated fields for minutes and hours; fields
// before the hours are ignored. A two-character fraction counts hundredths,
// any other fraction milliseconds as written. Anything that is not a time
// gives 0. Values too large for the 32-bit store end at its maximum.
uint32_t ParseTimePoint(QStringView text);
inline uint32_t ParseTimePoint(const QString& text)
{
    return ParseTimePoint(QStringView(text));
}

// The end time of a subtitle time line, given the text after its "-->": up
// to the first blank or tab after leading white space, so that WebVTT
// settings and SRT coordinates ("00:02:07,12 X1:40 ...") are no part of it.
QStringView TimeLineEnd(QStringView afterArrow);

// True when the trimmed text has the form of a time point and nothing else:
// two or three colon-separated groups of digits, then optionally "." or ","
// and digits ("01:02.03", "00:01:02,500", "5:07").
bool IsTimePoint(QStringView text);

// True when the trimmed text is made of the digits 0-9 only; the empty text
// counts, so an empty time field reads as 0.
bool IsAllDigits(const QString& text);

} // namespace dictora
