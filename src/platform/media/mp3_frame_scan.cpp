// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/mp3_frame_scan.h"

#include <cstring>

namespace dictora {

namespace {

struct FrameHeader {
    int length = 0;
    int samples = 0;
    int sampleRate = 0;
    int version = 0; // 1 = MPEG-1, 2 = MPEG-2, 25 = MPEG-2.5
    int layer = 0;
    bool mono = false;
};

quint32 readBigEndian(const uchar* p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

std::optional<FrameHeader> parseHeader(const uchar* p)
{
    const quint32 h = readBigEndian(p);
    if ((h & 0xFFE00000u) != 0xFFE00000u)
        return std::nullopt;
    const int versionBits = (h >> 19) & 3;
    const int layerBits = (h >> 17) & 3;
    const int bitrateIndex = (h >> 12) & 15;
    const int rateIndex = (h >> 10) & 3;
    const int padding = (h >> 9) & 1;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3)
        return std::nullopt; // reserved values, or free format whose length we cannot know

    static const int kBitrates[2][3][15] = {
        // MPEG-1: layer I, II, III
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        // MPEG-2 and 2.5: layer I, II, III
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
    static const int kRates[3] = {44100, 48000, 32000};

    FrameHeader header;
    header.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    header.layer = 4 - layerBits;
    header.mono = ((h >> 6) & 3) == 3;
    header.sampleRate = kRates[rateIndex] / (header.version == 1 ? 1 : header.version == 2 ? 2 : 4);
    const int bitrate =
        kBitrates[header.version == 1 ? 0 : 1][header.layer - 1][bitrateIndex] * 1000;
    if (header.layer == 1) {
        header.samples = 384;
        header.length = (12 * bitrate / header.sampleRate + padding) * 4;
    } else if (header.layer == 2 || header.version == 1) {
        header.samples = 1152;
        header.length = 144 * bitrate / header.sampleRate + padding;
    } else {
        header.samples = 576;
        header.length = 72 * bitrate / header.sampleRate + padding;
    }
    if (header.length < 4)
        return std::nullopt;
    return header;
}

// The Xing/Info header sits after the side information of the first frame;
// the VBRI header 32 bytes after the frame header.
bool statesLength(const uchar* frame, qsizetype available, const FrameHeader& header)
{
    const int sideInfo = header.version == 1 ? (header.mono ? 17 : 32) : (header.mono ? 9 : 17);
    const qsizetype xing = 4 + sideInfo;
    if (xing + 8 <= available &&
        (std::memcmp(frame + xing, "Xing", 4) == 0 || std::memcmp(frame + xing, "Info", 4) == 0))
        return (readBigEndian(frame + xing + 4) & 1) != 0; // the frame-count flag
    return 36 + 4 <= available && std::memcmp(frame + 36, "VBRI", 4) == 0;
}

qsizetype skipId3v2(QByteArrayView data)
{
    const auto* p = reinterpret_cast<const uchar*>(data.data());
    if (data.size() < 10 || std::memcmp(p, "ID3", 3) != 0)
        return 0;
    const qsizetype size = qsizetype(p[6] & 0x7F) << 21 | qsizetype(p[7] & 0x7F) << 14 |
                           qsizetype(p[8] & 0x7F) << 7 | qsizetype(p[9] & 0x7F);
    const bool footer = (p[5] & 0x10) != 0;
    return 10 + size + (footer ? 10 : 0);
}

} // namespace

std::optional<Mp3FrameScan> scanMp3Frames(QByteArrayView data)
{
    const auto* bytes = reinterpret_cast<const uchar*>(data.data());
    const qsizetype size = data.size();
    qsizetype at = skipId3v2(data);
    if (at + 4 > size)
        return std::nullopt;
    const auto first = parseHeader(bytes + at);
    if (!first || at + first->length + 4 > size)
        return std::nullopt;
    const auto second = parseHeader(bytes + at + first->length);
    if (!second || second->sampleRate != first->sampleRate || second->layer != first->layer)
        return std::nullopt;

    Mp3FrameScan scan;
    scan.sampleRate = first->sampleRate;
    scan.samplesPerFrame = first->samples;
    scan.statesLength = statesLength(bytes + at, size - at, *first);
    if (scan.statesLength)
        at += first->length; // the header frame decodes to silence that players skip
    while (at + 4 <= size) {
        const auto header = parseHeader(bytes + at);
        if (!header || header->sampleRate != scan.sampleRate || header->layer != first->layer)
            break;
        if (at + header->length > size)
            break; // a frame cut off at the end of the file is not played
        ++scan.frames;
        at += header->length;
    }
    return scan;
}

} // namespace dictora
