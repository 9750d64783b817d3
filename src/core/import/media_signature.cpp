// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/media_signature.h"

#include <QFile>

namespace dictora {

namespace {

bool startsWith(const QByteArray& head, const char* bytes, qsizetype size, qsizetype at = 0)
{
    return head.size() >= at + size && head.mid(at, size) == QByteArray(bytes, size);
}

} // namespace

bool looksLikeMedia(const QByteArray& head)
{
    if (containerOf(head) != MediaContainer::Other)
        return true; // Matroska, WebM, ISO base media and QuickTime
    for (const char* magic : {"RIFF", "OggS", "fLaC", ".RMF"}) {
        if (startsWith(head, magic, 4))
            return true;
    }
    if (startsWith(head, "\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8))
        return true; // ASF
    if (startsWith(head, "\x00\x00\x01\xBA", 4) || startsWith(head, "\x00\x00\x01\xB3", 4))
        return true; // MPEG program and video streams
    if (startsWith(head, "ID3", 3) && head.size() >= 4 && uchar(head[3]) < 0x10)
        return true; // an ID3v2 tag, version byte below any letter
    // An MPEG audio frame sync: eleven set bits, layer II or III (layer I
    // would take the UTF-16 little-endian mark FF FE), a valid bit rate and
    // sample rate.
    if (head.size() >= 3 && uchar(head[0]) == 0xFF && (uchar(head[1]) & 0xE0) == 0xE0) {
        const int layer = (uchar(head[1]) >> 1) & 3;
        const int bitRate = uchar(head[2]) >> 4;
        const int sampleRate = (uchar(head[2]) >> 2) & 3;
        if ((layer == 1 || layer == 2) && bitRate != 15 && sampleRate != 3)
            return true;
    }
    return false;
}

MediaContainer containerOf(const QByteArray& head)
{
    if (startsWith(head, "\x1A\x45\xDF\xA3", 4))
        return MediaContainer::Matroska;
    // A box: a big-endian size, whose first byte no text begins with (a
    // control character below the tab), and a known type.
    if (head.size() < 8 || uchar(head[0]) >= 0x09)
        return MediaContainer::Other;
    for (const char* box : {"ftyp", "moov", "mdat", "free", "wide", "skip"}) {
        if (startsWith(head, box, 4, 4))
            return MediaContainer::Mp4;
    }
    return MediaContainer::Other;
}

bool fileLooksLikeMedia(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return looksLikeMedia(file.read(kMediaSignatureBytes));
}

QString mediaAsTextRefusal(const QString& baseName)
{
    return QStringLiteral("%1 是媒体文件, 不是文本, 不能作为文本导入.").arg(baseName);
}

} // namespace dictora
