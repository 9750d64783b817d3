// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace dictora {

// Decodes 8-bit text written in the "ANSI" code page of older files: bytes
// that form valid UTF-8 are UTF-8 (the Linux locale); anything else is read
// as GB18030, the code page of the Chinese Windows systems older files come
// from, or as the code page named by DICTORA_CODEPAGE. Undecodable bytes
// become U+FFFD; the call never fails.
QString decodeAnsiText(const QByteArray& bytes);

// The same rule with the legacy code page chosen by the caller (an iconv
// name, such as the one detected for an imported file); empty chooses the
// default one above. A name the converter does not know reads as GB18030.
QString decodeAnsiText(QByteArrayView bytes, const QByteArray& codePage);

// The legacy code page of 8-bit text that is not UTF-8: DICTORA_CODEPAGE
// when it is set, else GB18030.
QByteArray legacyCodePage();

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool isValidUtf8(QByteArrayView bytes);

} // namespace dictora
