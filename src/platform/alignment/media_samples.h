// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace dictora {

// The first audio stream of a media file decoded to 16-bit mono samples at
// one rate, as fast as the machine allows (video is never decoded). Blocks
// the calling thread; GStreamer must be initialised.
struct MediaSamples {
    enum class Status { Decoded, NoAudio, Unreadable, Cancelled };
    Status status = Status::Unreadable;
    QString reason;         // for Unreadable, GStreamer's word
    int64_t durationMs = 0; // of the decoded audio
};

struct MediaSampleSink {
    std::function<void(const int16_t* samples, int count)> samples;
    // The share of the file decoded so far (0..1), at most a few times a
    // second; false stops the decoding.
    std::function<bool(double done)> progress;
};

MediaSamples decodeMediaSamples(const QString& path, int sampleRate, const MediaSampleSink& sink);

} // namespace dictora
