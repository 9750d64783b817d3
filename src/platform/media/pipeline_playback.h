// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <optional>

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;

namespace dictora {

// Play, pause, resume and stop on one GStreamer pipeline, with the MCI mode
// words. Play From To is a flushing accurate seek with a stop position, so the
// pipeline ends with EOS on the stop sample; SEGMENT_DONE is never used since
// it arrives before the last buffer has been heard.
//
// A play without To leaves the pipeline, once it has ended, prerolled again at
// the same From point, so the next identical play (a sound cue) needs no seek
// and starts within a few milliseconds.
//
// User-interface thread only, except wake, which GStreamer threads call when
// an EOS or error is posted so that the owner can run serviceBus soon.
class PipelinePlayback {
public:
    // Takes the pipeline's reference.
    PipelinePlayback(GstElement* pipeline, std::function<void()> wake);
    ~PipelinePlayback();
    PipelinePlayback(const PipelinePlayback&) = delete;
    PipelinePlayback& operator=(const PipelinePlayback&) = delete;

    // Brings the pipeline to PAUSED and waits for the first data to arrive at
    // the sinks. False with *error set when it fails, takes over timeoutMs or
    // is cancelled (looked at every few milliseconds; may be called on any
    // thread before the playback is handed to its owner).
    bool preroll(int timeoutMs, QString* error, const std::atomic<bool>* cancel = nullptr);

    QString play(std::optional<qint64> fromMs, std::optional<qint64> toMs);
    QString pause();
    QString resume();
    QString stop();
    QString mode();
    // The media's own time reached, to the nearest millisecond.
    qint64 positionMs() const;
    // As the pipeline states it; -1 when unknown.
    qint64 durationNs() const;

    void serviceBus();
    GstElement* pipeline() const { return pipeline_; }

    // Asks the pipeline for this much more than each To point (something
    // downstream then cuts the span on To itself).
    void setStopExtensionNs(qint64 extensionNs) { stopExtensionNs_ = extensionNs; }
    // Playback speed of the plays from now on (1.0 = normal); the From and
    // To points stay in the media's own time.
    void setRate(double rate);

private:
    enum class Mode { Stopped, Playing, Paused };

    bool seek(qint64 fromMs, std::optional<qint64> toMs);
    void handle(GstMessage* message);
    void dropStaleEnds();
    static int onSyncMessage(GstBus* bus, GstMessage* message, void* self);

    GstElement* pipeline_;
    GstBus* bus_;
    std::function<void()> wake_;
    Mode mode_ = Mode::Stopped;
    // Where the pipeline waits prerolled with no stop position, if anywhere.
    std::optional<qint64> armedAtMs_;
    // From point of the last play without To, to preroll again at its end.
    std::optional<qint64> rearmAtMs_;
    qint64 stopExtensionNs_ = 0;
    qint64 lastSeekMs_ = 0;
    double rate_ = 1.0;
};

} // namespace dictora
