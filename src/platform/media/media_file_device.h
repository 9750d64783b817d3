// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/media/media_device.h"

#include <QImage>

#include <atomic>
#include <functional>
#include <memory>

typedef struct _GstElement GstElement;

namespace dictora {

class MediaLengthCache;
class PipelinePlayback;
class SpanEndGuard;

// A media file opened as an alias (Type MPEGVideo): any format GStreamer
// decodes, audio to the program's audio sink, video frames to a callback.
class MediaFileDevice : public MediaDevice {
public:
    struct Setup {
        QString path;
        GstElement* audioSink = nullptr; // floating, taken over
        // Called on a GStreamer thread with each decoded video frame; left
        // empty, the file's pictures are not decoded.
        std::function<void(const QImage&)> presentFrame;
        // Called on a GStreamer thread when the bus has news (EOS, error).
        std::function<void()> wake;
        MediaLengthCache* lengths = nullptr;
        // Set from another thread, ends the wait for the first data (an
        // opening in the background that is no longer wanted).
        const std::atomic<bool>* cancel = nullptr;
    };

    // Opens and prerolls the file; nullptr with *error set when it does not
    // play. May run on any thread; the device is then handed to the
    // user-interface thread, which alone uses it.
    static std::unique_ptr<MediaFileDevice> open(Setup setup, QString* error);
    // Video frames converted for a surface so far, by all devices of the process.
    static qint64 convertedFrameCount();
    ~MediaFileDevice() override;

    QString play(std::optional<qint64> fromMs, std::optional<qint64> toMs) override;
    QString pause() override;
    QString resume() override;
    QString stop() override;
    QString mode() override;
    QString setSpeed(int permille) override;
    QString setVolume(int permille) override;
    qint64 lengthMs() override { return lengthMs_; }
    qint64 positionMs() override;
    bool hasVideo() const override { return hasVideo_; }
    void serviceBus() override;

private:
    MediaFileDevice() = default;

    // Declared first so that it outlives the pipeline whose sink calls it.
    std::function<void(const QImage&)> presentFrame_;
    std::unique_ptr<SpanEndGuard> spanEnd_;
    std::unique_ptr<PipelinePlayback> playback_;
    qint64 lengthMs_ = 0;
    bool hasVideo_ = false;
    bool keepsPitch_ = false;
    int speedPermille_ = 1000;
};

} // namespace dictora
