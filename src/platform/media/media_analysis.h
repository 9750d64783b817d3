// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/loudness_levelling.h"
#include "platform/media/waveform_peaks.h"

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QWaitCondition>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

namespace dictora {

// Loudness and waveform peaks of media files, measured once per file in the
// background (one decode gives both) and cached by path, size and
// modification time: loudness in cfgFolder/Loudness.ini, peaks in
// cfgFolder/Peaks/. Asking is cheap and never waits: an unknown file is
// queued, and analysed is emitted (from the worker thread; connect queued)
// once its results are there.
class MediaAnalysis : public QObject {
    Q_OBJECT
public:
    explicit MediaAnalysis(QString cfgFolder, QObject* parent = nullptr);
    ~MediaAnalysis() override;

    std::optional<Loudness> loudness(const QString& path);
    std::shared_ptr<const WaveformPeaks> peaks(const QString& path);
    // Waits until the queue is empty (tests and the command line).
    void waitIdle();

signals:
    void analysed(const QString& path);

private:
    struct Known {
        QString key;
        std::optional<Loudness> loudness;
        std::shared_ptr<const WaveformPeaks> peaks;
        bool failed = false;
    };

    // The entry for path, from memory or the caches on disk; queues the
    // file when something is missing. Called with mutex_ held.
    const Known* lookUp(const QString& path);
    void work();
    void analyse(const QString& path, const QString& key);
    std::optional<Loudness> readStoredLoudness(const QString& key) const;
    void storeLoudness(const QString& key, const Loudness& loudness) const;

    const QString cfgFolder_;
    QMutex mutex_;
    QWaitCondition wake_;
    QWaitCondition idle_;
    QHash<QString, Known> known_; // by path
    QStringList queue_;
    bool busy_ = false;
    std::atomic<bool> stopping_{false};
    std::thread worker_;
};

} // namespace dictora
