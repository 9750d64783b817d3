// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/legacy_text.h"

#include <QString>

class QIODevice;

namespace dictora {

// The encoding label of an imported text file. It is decided from the
// byte-order mark alone and travels with every line read.
inline const QString kEncodingAnsi = QStringLiteral("ANSI");             // no mark: 8-bit
inline const QString kEncodingUtf8 = QStringLiteral("UTF8");             // EF BB BF
inline const QString kEncodingUnicode = QStringLiteral("UNICODE");       // FF FE, UTF-16LE
inline const QString kEncodingUnicodeBig = QStringLiteral("UNICODEBIG"); // FE FF, refused

// Reads up to three bytes of the file and names its encoding. A file that
// cannot be opened or is empty, and every start without a complete mark,
// is "ANSI". The file is closed again: reading opens it anew.
QString DetectTextEncoding(const QString& path);

// Reads the next line of an open file into `line` (emptied first), without
// its line end: a line feed, or a carriage return alone (old Mac files); a
// carriage return before a line feed stays in the line. At position 0 the
// mark of the label is skipped first. Returns false at end of file. Lines of
// any length are read whole. Called with "ANSI", "UTF8" or "UNICODE" only;
// any other label reads nothing.
bool ReadTextLine(QIODevice& file, const QString& label, QString& line);

// The same, reading "ANSI" lines that are not UTF-8 in `codePage` (an iconv
// name, such as the one DetectAnsiCodePage chose; empty for the default).
bool ReadTextLine(QIODevice& file, const QString& label, QString& line, const QByteArray& codePage);

} // namespace dictora
