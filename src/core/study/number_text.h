// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace dictora {

// Numbers are kept as decimal text in the sentence table. Reading them back
// follows the C library: optional blanks and sign, then leading digits;
// anything else gives 0. Out-of-range values wrap as a 32-bit store would.
int32_t textToInt(const QString& text);
uint32_t textToUInt(const QString& text);
int32_t textToInt(QStringView text);
uint32_t textToUInt(QStringView text);

inline QString intText(int32_t value)
{
    return QString::number(value);
}
inline QString uintText(uint32_t value)
{
    return QString::number(value);
}

} // namespace dictora
