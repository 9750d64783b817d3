// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/media/media_device.h"
#include "platform/media/wave_file.h"

#include <QByteArray>
#include <QMutex>

#include <functional>
#include <memory>

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;

namespace dictora {

class PipelinePlayback;

// The voice recorder (Open New Type WAVEaudio): Record captures PCM from the
// audio source into memory, Stop ends it, Play/Pause/Resume play it back
// through the audio sink, Save writes it as a RIFF WAVE file.
class VoiceRecorderDevice : public MediaDevice {
public:
    struct Setup {
        PcmFormat format;
        std::function<GstElement*()> makeSource; // a new floating element or nullptr
        std::function<GstElement*()> makeSink;
        // The source is the system default, which stands in a silent test
        // source when there is no microphone.
        bool sourceIsSystemDefault = false;
        std::function<void()> wake;
        // A recording left running stops here (about 345 MB at 48 kHz stereo).
        qint64 longestMs = 30 * 60 * 1000;
    };

    explicit VoiceRecorderDevice(Setup setup);
    ~VoiceRecorderDevice() override;

    QString play(std::optional<qint64> fromMs, std::optional<qint64> toMs) override;
    QString pause() override;
    QString resume() override;
    QString stop() override;
    QString mode() override;
    qint64 lengthMs() override;
    qint64 positionMs() override;
    QString record() override;
    QString save(const QString& path) override;
    void serviceBus() override;

private:
    // Written by the capture thread, read on the user-interface thread.
    struct Captured {
        QMutex mutex;
        QByteArray pcm;
        qsizetype limitBytes = 0;
    };

    // Ends a capture that could not start; the reply gives the reason from
    // error (taken over) or from the bus.
    QString refuseCapture(GstMessage* error = nullptr);
    void stopCapture();
    void dropCapture();
    QByteArray recorded() const;

    Setup setup_;
    std::shared_ptr<Captured> captured_ = std::make_shared<Captured>();
    GstElement* capture_ = nullptr;
    GstBus* captureBus_ = nullptr;
    std::unique_ptr<PipelinePlayback> playback_;
    qint64 playbackStartMs_ = 0;
};

} // namespace dictora
