// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/text_decoding.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <vector>

namespace dictora {

namespace {

constexpr qint64 kUtf16MaxChunk = 64 * 1024;
// A buffer grown for one very long line is given back afterwards.
constexpr size_t kKeptBufferSize = 1024 * 1024;

// A device shorter than the mark holds nothing after it.
bool skipMark(QIODevice& file, qint64 markSize)
{
    if (!file.isSequential() && file.size() < markSize)
        return false;
    return file.seek(markSize);
}

// Lines are read into one buffer per thread that keeps its size, so a long
// file costs no allocation per line and a line of any length is read whole.
std::vector<char>& lineBuffer()
{
    thread_local std::vector<char> buffer(4096);
    return buffer;
}

// The line ends: LF, CR LF (the CR stays in the line, the caller trims it),
// and CR alone, as old Mac files end their lines; the lone CR is dropped as
// LF is. CrAtEnd: a CR ends the units in hand, and the caller looks at the
// next unit of the file to tell the two CR cases apart.
enum class LineEnd { None, Lf, CrLf, LoneCr, CrAtEnd };

template <typename Unit> LineEnd findLineEnd(const Unit* units, qsizetype count, qsizetype& at)
{
    for (at = 0; at < count; ++at) {
        if (units[at] == Unit('\n'))
            return LineEnd::Lf;
        if (units[at] == Unit('\r')) {
            if (at + 1 == count)
                return LineEnd::CrAtEnd;
            return units[at + 1] == Unit('\n') ? LineEnd::CrLf : LineEnd::LoneCr;
        }
    }
    return LineEnd::None;
}

bool readEightBitLine(QIODevice& file, const QString& label, const QByteArray& codePage,
                      QString& line)
{
    if (file.pos() == 0 && label == kEncodingUtf8 && !skipMark(file, 3))
        return false;
    std::vector<char>& buffer = lineBuffer();
    size_t used = 0;
    bool readAny = false;
    qint64 chunk = 4096;
    for (;;) {
        if (buffer.size() < used + size_t(chunk))
            buffer.resize(used + size_t(chunk));
        char* const start = buffer.data() + used;
        const qint64 got = file.peek(start, chunk);
        if (got <= 0)
            break;
        readAny = true;
        qsizetype at = 0;
        const LineEnd end = findLineEnd(start, qsizetype(got), at);
        if (end == LineEnd::None) {
            file.skip(got);
            used += size_t(got);
            chunk = std::min<qint64>(chunk * 2, 1024 * 1024);
            continue;
        }
        if (end == LineEnd::Lf || end == LineEnd::LoneCr) {
            file.skip(at + 1);
            used += size_t(at);
        } else if (end == LineEnd::CrLf) {
            file.skip(at + 2);
            used += size_t(at + 1);
        } else {
            file.skip(at + 1);
            char next = 0;
            const bool followedByLf = file.peek(&next, 1) == 1 && next == '\n';
            if (followedByLf)
                file.skip(1);
            used += size_t(followedByLf ? at + 1 : at);
        }
        break;
    }
    if (!readAny)
        return false;
    if (used > 0) {
        const QByteArrayView bytes(buffer.data(), qsizetype(used));
        line = label == kEncodingUtf8 ? QString::fromUtf8(bytes) : decodeAnsiText(bytes, codePage);
    }
    if (buffer.size() > kKeptBufferSize) {
        buffer.resize(kKeptBufferSize);
        buffer.shrink_to_fit();
    }
    return true;
}

// UTF-16LE units are appended as they are, up to the line end. The file is
// scanned through peek in chunks that grow while a line goes on, so a short
// line costs a short copy and a long one a few large ones.
bool readUtf16Line(QIODevice& file, QString& line)
{
    if (file.pos() == 0 && !skipMark(file, 2))
        return false;
    std::vector<char>& buffer = lineBuffer();
    qint64 chunk = 512;
    bool readAny = false;
    const auto unitAt = [](const char* bytes) {
        return char16_t(uchar(bytes[0]) | uchar(bytes[1]) << 8);
    };
    // After a CR: skips the unit that follows when it is LF (it may be the
    // file's final odd byte, a unit whose high byte is 0).
    const auto skipLfAfterCr = [&] {
        char next[2] = {0, 0};
        const qint64 peeked = file.peek(next, 2);
        if (peeked <= 0 || unitAt(next) != u'\n')
            return false;
        file.skip(peeked);
        return true;
    };
    for (;;) {
        if (buffer.size() < size_t(chunk))
            buffer.resize(size_t(chunk));
        const qint64 got = file.peek(buffer.data(), chunk);
        if (got <= 0)
            return readAny;
        readAny = true;
        if (got == 1) {
            // Either the final odd byte, or a short peek: read it for sure.
            char pair[2] = {0, 0};
            file.read(pair, 2);
            const char16_t unit = unitAt(pair);
            if (unit == u'\n')
                return true;
            if (unit == u'\r') {
                if (skipLfAfterCr())
                    line.append(QChar(unit));
                return true;
            }
            line.append(QChar(unit));
            continue;
        }
        const qsizetype units = qsizetype(got / 2);
        const qsizetype old = line.size();
        line.resize(old + units);
        char16_t* out = reinterpret_cast<char16_t*>(line.data()) + old;
        for (qsizetype i = 0; i < units; ++i)
            out[i] = unitAt(buffer.data() + 2 * i);
        qsizetype at = 0;
        const LineEnd end = findLineEnd(out, units, at);
        switch (end) {
        case LineEnd::None:
            file.skip(2 * units);
            chunk = std::min<qint64>(chunk * 2, kUtf16MaxChunk);
            continue;
        case LineEnd::Lf:
        case LineEnd::LoneCr:
            line.resize(old + at);
            file.skip(2 * at + 2);
            return true;
        case LineEnd::CrLf:
            line.resize(old + at + 1);
            file.skip(2 * at + 4);
            return true;
        case LineEnd::CrAtEnd: {
            file.skip(2 * at + 2);
            const bool followedByLf = skipLfAfterCr();
            line.resize(old + (followedByLf ? at + 1 : at));
            return true;
        }
        }
    }
}

} // namespace

QString DetectTextEncoding(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return kEncodingAnsi;
    const QByteArray start = file.read(3);
    const auto byteAt = [&](int i) { return i < start.size() ? uchar(start.at(i)) : -1; };
    if (byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF)
        return kEncodingUtf8;
    if (byteAt(0) == 0xFF && byteAt(1) == 0xFE)
        return kEncodingUnicode;
    if (byteAt(0) == 0xFE && byteAt(1) == 0xFF)
        return kEncodingUnicodeBig;
    return kEncodingAnsi;
}

bool ReadTextLine(QIODevice& file, const QString& label, QString& line)
{
    return ReadTextLine(file, label, line, {});
}

bool ReadTextLine(QIODevice& file, const QString& label, QString& line, const QByteArray& codePage)
{
    line.clear();
    if (label == kEncodingUnicode)
        return readUtf16Line(file, line);
    if (label == kEncodingAnsi || label == kEncodingUtf8)
        return readEightBitLine(file, label, codePage, line);
    return false;
}

} // namespace dictora
