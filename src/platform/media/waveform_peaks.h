// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/media/decoded_audio.h"

#include <QByteArray>

#include <optional>
#include <vector>

namespace dictora {

// The loudest sample of each 10 ms of a media file, all channels together,
// as 0..255 of full scale: enough to draw a waveform strip at any zoom the
// editor uses, 100 bytes a second (360 kB for an hour).
struct WaveformPeaks {
    static constexpr int kBucketMs = 10;
    QByteArray levels;

    qint64 lengthMs() const { return qint64(levels.size()) * kBucketMs; }
    // The level of the 10 ms that hold timeMs, 0 outside the file.
    int levelAt(qint64 timeMs) const;
    // The highest level in fromMs..toMs.
    int highest(qint64 fromMs, qint64 toMs) const;
};

// Collects peaks from decoded blocks, each placed by its first frame, so
// collectors of different parts of a file can be merged.
class PeakCollector {
public:
    void add(const AudioBlock& block);
    // Takes in what another collector of the same file gathered.
    void merge(const PeakCollector& other);
    WaveformPeaks finish();

private:
    std::vector<float> loudest_; // per 10 ms
};

// Decodes the file and collects its peaks; nothing with *error set when it cannot.
std::optional<WaveformPeaks> decodePeaks(const QString& path, QString* error,
                                         const std::atomic<bool>* cancel = nullptr);

// The peaks cache: one file per media file under cacheFolder, named by a
// hash of its path and holding its size and modification time, so a changed
// file is decoded afresh. Reading returns nothing on any mismatch or damage.
std::optional<WaveformPeaks> readCachedPeaks(const QString& cacheFolder, const QString& mediaPath);
// Written to a temporary file and renamed; false when any step failed.
bool writeCachedPeaks(const QString& cacheFolder, const QString& mediaPath,
                      const WaveformPeaks& peaks);

} // namespace dictora
