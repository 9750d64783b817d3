// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace dictora {

struct PcmFormat {
    int sampleRate = 48000;
    int channels = 2;
    int bitsPerSample = 16;

    int bytesPerFrame() const { return channels * bitsPerSample / 8; }
    qint64 durationMs(qint64 bytes) const
    {
        return bytesPerFrame() > 0 ? bytes / bytesPerFrame() * 1000 / sampleRate : 0;
    }
};

// Writes little-endian PCM as a RIFF WAVE file. The file appears complete or
// not at all (written beside it and renamed); false with *error set when the
// folder cannot be written or the data is too large for a WAVE file.
bool writeWaveFile(const QString& path, const QByteArray& pcm, const PcmFormat& format,
                   QString* error);

} // namespace dictora
