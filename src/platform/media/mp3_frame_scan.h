// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>

#include <optional>

namespace dictora {

// What walking the frame headers of an MPEG audio file tells about its length.
struct Mp3FrameScan {
    qint64 frames = 0;          // audio frames (the Xing/Info/VBRI frame excluded)
    qint64 samplesPerFrame = 0; // per channel
    int sampleRate = 0;
    bool statesLength = false; // has a Xing, Info or VBRI header with a frame count

    qint64 lengthNs() const
    {
        return sampleRate > 0 ? frames * samplesPerFrame * 1000000000LL / sampleRate : -1;
    }
};

// Walks the frames of an MPEG-1/2/2.5 layer I-III stream (after any ID3v2
// tag) up to the end, an ID3v1/APE tag or the first damaged stretch. nullopt
// when the data does not begin with two consecutive valid frames, i.e. it is
// not an MP3 file. Reads only headers, so a long file takes milliseconds.
std::optional<Mp3FrameScan> scanMp3Frames(QByteArrayView data);

} // namespace dictora
