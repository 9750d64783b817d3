// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/waveform_peaks.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace dictora {

namespace {

constexpr quint32 kMagic = 0x44504b31; // "DPK1"
// More than a day of media is no lesson; a larger count is damage.
constexpr qint64 kMaxLevels = 24LL * 3600 * 1000 / WaveformPeaks::kBucketMs;

QString cacheFile(const QString& cacheFolder, const QString& mediaPath)
{
    const QByteArray hash =
        QCryptographicHash::hash(QFileInfo(mediaPath).absoluteFilePath().toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex();
    return QDir(cacheFolder).filePath(QString::fromLatin1(hash) + QStringLiteral(".peaks"));
}

} // namespace

int WaveformPeaks::levelAt(qint64 timeMs) const
{
    const qint64 i = timeMs / kBucketMs;
    if (timeMs < 0 || i >= levels.size())
        return 0;
    return quint8(levels.at(i));
}

int WaveformPeaks::highest(qint64 fromMs, qint64 toMs) const
{
    const qint64 first = std::max<qint64>(fromMs, 0) / kBucketMs;
    const qint64 end = std::min<qint64>((toMs + kBucketMs - 1) / kBucketMs, levels.size());
    int top = 0;
    for (qint64 i = first; i < end; ++i)
        top = std::max(top, int(quint8(levels.at(i))));
    return top;
}

void PeakCollector::add(const AudioBlock& block)
{
    const qint64 bucketFrames = std::max<qint64>(qint64(block.rate) * WaveformPeaks::kBucketMs / 1000, 1);
    const qint64 lastBucket = (block.firstFrame + block.frames - 1) / bucketFrames;
    if (block.firstFrame < 0 || lastBucket >= qint64(24LL * 3600 * 100))
        return;
    if (qint64(loudest_.size()) <= lastBucket)
        loudest_.resize(size_t(lastBucket + 1), 0.0f);
    // Bucket by bucket, so the inner loop is a plain run over samples.
    const float* s = block.samples;
    const int channels = block.channels;
    qint64 frame = block.firstFrame;
    qint64 left = block.frames;
    while (left > 0) {
        const qint64 bucket = frame / bucketFrames;
        const qint64 frames = std::min(left, (bucket + 1) * bucketFrames - frame);
        const qint64 count = frames * channels;
        float top = loudest_[size_t(bucket)];
        for (qint64 i = 0; i < count; ++i)
            top = std::max(top, std::fabs(s[i]));
        loudest_[size_t(bucket)] = top;
        s += count;
        frame += frames;
        left -= frames;
    }
}

void PeakCollector::merge(const PeakCollector& other)
{
    if (other.loudest_.size() > loudest_.size())
        loudest_.resize(other.loudest_.size(), 0.0f);
    for (size_t i = 0; i < other.loudest_.size(); ++i)
        loudest_[i] = std::max(loudest_[i], other.loudest_[i]);
}

WaveformPeaks PeakCollector::finish()
{
    WaveformPeaks peaks;
    peaks.levels.resize(qsizetype(loudest_.size()));
    for (size_t i = 0; i < loudest_.size(); ++i)
        peaks.levels[qsizetype(i)] = char(std::lround(std::min(loudest_[i], 1.0f) * 255.0f));
    loudest_.clear();
    return peaks;
}

std::optional<WaveformPeaks> decodePeaks(const QString& path, QString* error,
                                         const std::atomic<bool>* cancel)
{
    PeakCollector parts[kDecodeParts];
    if (!decodeAudioInParts(
            path, kDecodeParts, [&](int part, const AudioBlock& block) { parts[part].add(block); },
            error, cancel))
        return std::nullopt;
    for (int p = 1; p < kDecodeParts; ++p)
        parts[0].merge(parts[p]);
    return parts[0].finish();
}

std::optional<WaveformPeaks> readCachedPeaks(const QString& cacheFolder, const QString& mediaPath)
{
    const QString key = mediaFileKey(mediaPath);
    if (key.isEmpty())
        return std::nullopt;
    QFile file(cacheFile(cacheFolder, mediaPath));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QDataStream in(&file);
    quint32 magic = 0;
    QString storedKey;
    qint64 count = 0;
    in >> magic;
    if (magic != kMagic)
        return std::nullopt;
    in >> storedKey >> count;
    if (in.status() != QDataStream::Ok || storedKey != key || count < 0 || count > kMaxLevels)
        return std::nullopt;
    WaveformPeaks peaks;
    peaks.levels = file.read(count);
    if (peaks.levels.size() != count)
        return std::nullopt;
    return peaks;
}

bool writeCachedPeaks(const QString& cacheFolder, const QString& mediaPath,
                      const WaveformPeaks& peaks)
{
    const QString key = mediaFileKey(mediaPath);
    if (key.isEmpty() || !QDir().mkpath(cacheFolder))
        return false;
    QSaveFile file(cacheFile(cacheFolder, mediaPath));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QDataStream out(&file);
        out << kMagic << key << qint64(peaks.levels.size());
        if (out.status() != QDataStream::Ok)
            return false;
    }
    if (file.write(peaks.levels) != peaks.levels.size())
        return false;
    return file.commit();
}

} // namespace dictora
