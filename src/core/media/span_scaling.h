// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>

namespace dictora {

// A sentence's time points are stated against the media length its Section
// declares; the device plays the real length. Scales a stated time to the
// real one, truncating toward zero. The product is taken in 64 bits: an hour
// of media times an hour overflows 32.
inline int scaleToMedia(int statedMs, int realLengthMs, int declaredLengthMs)
{
    if (declaredLengthMs == 0)
        return statedMs;
    return int(int64_t(statedMs) * realLengthMs / declaredLengthMs);
}

// Spans shorter than this are spoken instead of played: too short to hear.
inline constexpr int kShortestPlayedSpanMs = 300;

// A media file's extension names audio when it is one of these or shorter
// than two characters; anything else shows the video window.
bool isAudioPath(const QString& path);

} // namespace dictora
