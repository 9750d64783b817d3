// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <atomic>
#include <functional>

namespace dictora {

// Long files are decoded in this many parts side by side.
inline constexpr int kDecodeParts = 2;

// A stretch of decoded sound: frames of interleaved 32-bit float samples.
struct AudioBlock {
    const float* samples = nullptr;
    qint64 frames = 0;
    int channels = 0;
    int rate = 0;
    qint64 firstFrame = 0; // frames from the file's start to the first one here
};

// Decodes the sound of a media file as fast as the machine allows (no clock)
// and hands it over block by block, in order, on GStreamer's streaming
// thread (one thread for the whole file; every call has returned when
// decodeAudio does). Stops early when cancel turns true. False with *error set when the file has no sound that
// GStreamer can decode.
bool decodeAudio(const QString& path, const std::function<void(const AudioBlock&)>& consume,
                 QString* error, const std::atomic<bool>* cancel = nullptr);

// Decodes the file in parts side by side, each on a thread of its own: part
// p gets the blocks of its stretch of the file through consume(p, block),
// called on its thread. Long files are split into parts pieces (short ones
// are one piece, part 0). Parts meet on whole frames; no frame is given
// twice. False with *error set when any part fails.
bool decodeAudioInParts(const QString& path, int parts,
                        const std::function<void(int part, const AudioBlock&)>& consume,
                        QString* error, const std::atomic<bool>* cancel = nullptr);

// What a file's analysis is cached by: the path, its size and its
// modification time. Empty when the file cannot be read.
QString mediaFileKey(const QString& path);

} // namespace dictora
