// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds TidyText alone: the input as one line, and the same input built up
// into a long line, as a subtitle file may hold one. The first byte says how
// the rest is decoded and how often it is repeated, 2 to the power 0 to 20,
// up to a line of 1 Mi characters: a few bytes of "&" or "{\" make a line
// long enough for work that grows with the square of its length to show,
// while most lines stay short and quick. Run it with a limit per input:
//
//     bench/fuzz/run tidy_text 600 -timeout=20
//
// A line of 1 Mi "&" took over a minute when each "&" searched to the
// line's end for a ";", one of 600 Ki 20 s; now 1 Mi takes a fifth of a
// second of processor time under the sanitizers. The limit is wall-clock
// time, hence the room left for a busy machine.
//
// Besides finishing in time, tidied text must not be longer than the line,
// has no blank at its ends and no two in a row, and both overloads agree.
#include "core/import/markup_text.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

using namespace dictora;

namespace {

constexpr qsizetype kLongestLine = 1024 * 1024;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void tidy(const QString& line)
{
    const QString tidied = TidyText(line);
    check(tidied == TidyText(QStringView(line)));
    check(tidied.size() <= line.size());
    check(!tidied.startsWith(u' ') && !tidied.endsWith(u' '));
    check(!tidied.contains(QStringLiteral("  ")));
}

// Bytes as characters: Latin-1 keeps one character per byte, so every
// mutation of a byte is one of a character; UTF-8 and UTF-16 reach the rest.
QString decode(const QByteArray& bytes, int how)
{
    switch (how % 3) {
    case 0:
        return QString::fromLatin1(bytes);
    case 1:
        return QString::fromUtf8(bytes);
    default:
        return QString(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int how = data[0] >> 6;
    const qsizetype repeats = qsizetype(1) << ((data[0] & 0x3F) % 21);
    const QString piece =
        decode(QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)), how);
    tidy(piece);
    if (piece.isEmpty())
        return 0;
    const qsizetype count = qMin(repeats, kLongestLine / piece.size());
    if (count > 1)
        tidy(piece.repeated(count));
    return 0;
}
