// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/media_commands.h"

#include <QHash>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

typedef struct _GstElement GstElement;
class QObject;

namespace dictora {

struct MediaCommandLine;
class MediaDevice;
class MediaLengthCache;
class VideoFrameSink;

// The media command layer on GStreamer. Each alias names one device:
//
//   Open "path" Type MPEGVideo Alias A [Parent N] [Style N] [Notify]
//       a media file of any format GStreamer decodes, prerolled so that a
//       play starts at once; video frames go to the sink registered as N.
//   Open New Type WAVEaudio Alias A
//       a voice recorder: Record captures into memory, Save writes WAVE.
//   Play A [From ms] [To ms], Pause A, Resume A, Stop A, Close A
//   Status A Mode      "playing", "paused", "stopped" or "recording"
//   Status A Length    decimal milliseconds
//   Status A Position  decimal milliseconds of the media's own time
//   Set A Speed N      speed of the next plays in thousandths, pitch kept
//   SetAudio A Volume To N   volume in thousandths of the recorded level
//   Put A Window At x y w h,  Record A,  Save A "path",
//   Set Wave Bitpersample|Samplespersec|Channels N   (format of later recorders)
//
// Successful commands other than Status reply with an empty text; failures
// (unknown alias, a file that does not open, a bad command) reply with a
// text that starts with "error:", which callers may ignore as they would an
// MCI error. Paths may be double-quoted; an unquoted path runs up to the next
// keyword (Open) or to the end of the command (Save).
//
// Everything is called on the user-interface thread. Bus messages are read
// inside send() and, when an event loop runs, as soon as they arrive, so a
// device that reaches its end reads "stopped" at the next command either way.
class GstMediaCommands : public MediaCommands {
public:
    // Where audio goes and comes from; by default the system's, or what
    // DICTORA_AUDIO_SINK / DICTORA_AUDIO_SOURCE describe (audio_devices.h).
    struct Options {
        std::function<GstElement*()> makeAudioSink;
        std::function<GstElement*()> makeAudioSource;
    };

    GstMediaCommands();
    explicit GstMediaCommands(Options options);
    ~GstMediaCommands() override;
    GstMediaCommands(const GstMediaCommands&) = delete;
    GstMediaCommands& operator=(const GstMediaCommands&) = delete;

    QString send(const QString& command) override;
    // A media file's Open without Parent prerolls on a thread of its own; the
    // device joins the others once it is ready. Other commands are sent at
    // once. Openings still waiting when the layer goes are cancelled, and
    // their done is never called.
    void openInBackground(const QString& command,
                          std::function<void(const QString& reply)> done) override;

    // Every command sent so far, in order, as sent.
    QStringList commandLog() const { return log_; }
    void clearCommandLog() { log_.clear(); }
    // Called after every command with the command and its reply.
    void setCommandObserver(std::function<void(const QString&, const QString&)> observer);

    // The surface that "Parent surfaceId" names. The sink must stay alive
    // until it is unregistered.
    void registerVideoSink(quint32 surfaceId, VideoFrameSink* sink) override;
    void unregisterVideoSink(quint32 surfaceId) override;

    // Whether the media open as alias has a video stream (nullopt: no such
    // media device).
    std::optional<bool> hasVideo(const QString& alias) const;

    static bool isErrorReply(const QString& reply) { return dictora::isErrorReply(reply); }

private:
    // The surface each alias shows its video on, and which opening of a
    // device that is (frames of an earlier one are stale).
    struct SurfaceUse {
        quint32 surfaceId = 0;
        quint64 opening = 0;
    };
    struct WaveFormat {
        int bitsPerSample = 16;
        int samplesPerSecond = 48000;
        int channels = 2;
    };

    // What an Open command names.
    struct OpenRequest {
        QString path;
        QString alias;
        QString type;
        std::optional<quint32> surface;
    };
    struct Opening;

    QString execute(const QString& command);
    // Fills request from the command; the error reply when it cannot be opened.
    QString readOpen(const MediaCommandLine& line, OpenRequest& request) const;
    // Open New Type WAVEaudio: a voice recorder, not a file.
    static bool opensRecorder(const OpenRequest& request);
    QString open(const MediaCommandLine& line);
    // Calls for the bus of a device, from GStreamer threads.
    std::function<void()> wakeCall();
    // Takes in the devices opened in the background and answers their callers.
    void collectOpenings();
    QString setWave(const MediaCommandLine& line);
    MediaDevice* device(const QString& alias) const;
    void serviceDevices();
    // The sink of the surface the alias was opened on, if registered.
    VideoFrameSink* videoSinkOf(const QString& alias) const;
    // Frames of that opening no longer reach its surface.
    void stopShowing(const SurfaceUse& use);
    void deliverFrame(quint32 surfaceId);

    Options options_;
    QStringList log_;
    std::function<void(const QString&, const QString&)> observer_;
    std::map<QString, std::unique_ptr<MediaDevice>> devices_;
    std::map<QString, SurfaceUse> surfaceOfAlias_;
    QHash<quint32, VideoFrameSink*> videoSinks_;
    WaveFormat waveFormat_;
    std::unique_ptr<MediaLengthCache> lengths_;
    std::vector<std::unique_ptr<Opening>> openings_;
    struct FrameMailbox;
    std::shared_ptr<FrameMailbox> frames_;
    // Lives on the user-interface thread; GStreamer threads post work to it.
    std::unique_ptr<QObject> context_;
};

} // namespace dictora
