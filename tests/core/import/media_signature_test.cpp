// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/media_signature.h"

#include <gtest/gtest.h>

using namespace dictora;

TEST(MediaSignature, TellsContainersFromTextByTheFirstBytes)
{
    struct Case {
        QByteArray head;
        bool media;
        MediaContainer container;
    };
    const auto bytes = [](const char* data, int size) { return QByteArray(data, size); };
    const Case cases[] = {
        {bytes("\x1A\x45\xDF\xA3\x01\x00\x00\x00", 8), true, MediaContainer::Matroska},
        {bytes("\x00\x00\x00\x20"
               "ftypisom",
               12),
         true, MediaContainer::Mp4},
        {bytes("\x01\x20\x00\x00"
               "mdat",
               8),
         true, MediaContainer::Mp4},
        {"RIFF\x24\x00\x00\x00WAVE", true, MediaContainer::Other},
        {"OggS\x00\x02", true, MediaContainer::Other},
        {bytes("ID3\x04\x00\x00", 6), true, MediaContainer::Other},
        {bytes("\xFF\xFB\x90\x64", 4), true, MediaContainer::Other}, // an MP3 frame
        {bytes("\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8), true, MediaContainer::Other},
        // Text, however it begins, is text.
        {"I'm free, said he", false, MediaContainer::Other},
        {"1\r\n00:00:01,000 --> 00:00:02,000", false, MediaContainer::Other},
        {"ID3 tags are read by players", false, MediaContainer::Other},
        {bytes("\xFF\xFE"
               "1\x00",
               4),
         false, MediaContainer::Other}, // UTF-16 mark
        {bytes("\xEF\xBB\xBF[00:01.00]", 13), false, MediaContainer::Other},
        {"", false, MediaContainer::Other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head.toHex().toStdString());
        EXPECT_EQ(looksLikeMedia(c.head), c.media);
        EXPECT_EQ(containerOf(c.head), c.container);
    }
}
