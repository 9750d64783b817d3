// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <atomic>
#include <functional>

namespace dictora {

// A stretch of decoded sound: frames of interleaved 32-bit float samples.
struct AudioBlock {
    const float* samples = nullptr;
    qint64 frames = 0;
    int channels = 0;
    int rate = 0;
};

// Decodes the sound of a media file as fast as the machine allows (no clock)
// and hands it over block by block on the calling thread. Stops early when
// cancel turns true. False with *error set when the file has no sound that
// GStreamer can decode.
bool decodeAudio(const QString& path, const std::function<void(const AudioBlock&)>& consume,
                 QString* error, const std::atomic<bool>* cancel = nullptr);

// What a file's analysis is cached by: the path, its size and its
// modification time. Empty when the file cannot be read.
QString mediaFileKey(const QString& path);

} // namespace dictora
