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

bool readEightBitLine(QIODevice& file, const QString& label, QString& line)
{
    if (file.pos() == 0 && label == kEncodingUtf8 && !skipMark(file, 3))
        return false;
    std::vector<char>& buffer = lineBuffer();
    size_t used = 0;
    for (;;) {
        const qint64 room = qint64(buffer.size() - used);
        const qint64 got = file.readLine(buffer.data() + used, room);
        if (got <= 0)
            break;
        used += size_t(got);
        if (buffer[used - 1] == '\n' || got < room - 1)
            break;
        buffer.resize(buffer.size() * 2);
    }
    if (used == 0)
        return false;
    if (buffer[used - 1] == '\n')
        --used;
    if (used > 0) {
        const QByteArrayView bytes(buffer.data(), qsizetype(used));
        line = label == kEncodingUtf8 ? QString::fromUtf8(bytes) : decodeAnsiBytes(bytes);
    }
    if (buffer.size() > kKeptBufferSize) {
        buffer.resize(kKeptBufferSize);
        buffer.shrink_to_fit();
    }
    return true;
}

// UTF-16LE units are appended as they are, up to the unit U+000A. The file is
// scanned through peek in chunks that grow while a line goes on, so a short
// line costs a short copy and a long one a few large ones.
bool readUtf16Line(QIODevice& file, QString& line)
{
    if (file.pos() == 0 && !skipMark(file, 2))
        return false;
    std::vector<char>& buffer = lineBuffer();
    qint64 chunk = 512;
    bool readAny = false;
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
            const char16_t unit = char16_t(uchar(pair[0]) | uchar(pair[1]) << 8);
            if (unit == u'\n')
                return true;
            line.append(QChar(unit));
            continue;
        }
        const auto* bytes = reinterpret_cast<const uchar*>(buffer.data());
        const qsizetype units = qsizetype(got / 2);
        qsizetype take = 0;
        while (take < units && !(bytes[2 * take] == 0x0A && bytes[2 * take + 1] == 0))
            ++take;
        const qsizetype old = line.size();
        line.resize(old + take);
        char16_t* out = reinterpret_cast<char16_t*>(line.data()) + old;
        for (qsizetype i = 0; i < take; ++i)
            out[i] = char16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
        if (take < units) {
            file.skip(2 * take + 2);
            return true;
        }
        file.skip(2 * take);
        chunk = std::min<qint64>(chunk * 2, kUtf16MaxChunk);
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
    line.clear();
    if (label == kEncodingUnicode)
        return readUtf16Line(file, line);
    if (label == kEncodingAnsi || label == kEncodingUtf8)
        return readEightBitLine(file, label, line);
    return false;
}

QString decodeAnsiBytes(QByteArrayView bytes)
{
    return decodeAnsiText(bytes, {});
}

} // namespace dictora
