// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/media_file_device.h"

#include "platform/media/media_length.h"
#include "platform/media/pipeline_playback.h"
#include "platform/media/span_end_guard.h"

#include <QFileInfo>
#include <QUrl>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <atomic>

namespace dictora {

namespace {

// playbin's flags: audio and video only (no subtitles, no software colour
// balance or deinterlacing, which only add latency), and a volume of its own
// wherever the audio sink has none (ALSA, a file, a test's sink): the volume,
// and with it levelling, then applies whatever the output.
constexpr guint kPlayAudio = 1u << 1;
constexpr guint kPlayVideo = 1u << 0;
constexpr guint kPlaySoftVolume = 1u << 4;
constexpr int kPrerollTimeoutMs = 15000;
constexpr qint64 kMaxEncoderDelayNs = 500 * GST_MSECOND;
// Speeds and volumes the device accepts, in thousandths.
constexpr int kMinSpeed = 250;
constexpr int kMaxSpeed = 2000;
constexpr int kMaxVolume = 10000; // playbin's own limit, +20 dB
constexpr qint64 kTempoTailNs = 150 * GST_MSECOND;

std::atomic<qint64> convertedFrames{0};

GstFlowReturn sendFrame(GstSample* sample, const std::function<void(const QImage&)>& present)
{
    if (!sample)
        return GST_FLOW_OK;
    GstVideoInfo info;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (buffer && gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) &&
        gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        const QImage view(map.data, GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info),
                          GST_VIDEO_INFO_PLANE_STRIDE(&info, 0), QImage::Format_RGB32);
        present(view.copy());
        ++convertedFrames;
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

GstElement* makeVideoSink(std::function<void(const QImage&)>* present)
{
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (!sink)
        return nullptr;
    // BGRx in memory is QImage's RGB32 on little-endian machines, xRGB on big-endian.
    GstCaps* caps = gst_caps_from_string(
        G_BYTE_ORDER == G_LITTLE_ENDIAN ? "video/x-raw,format=BGRx" : "video/x-raw,format=xRGB");
    g_object_set(sink, "caps", caps, "sync", TRUE, "max-buffers", 2u, "drop", TRUE, nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = [](GstAppSink* appsink, gpointer data) {
        return sendFrame(gst_app_sink_pull_sample(appsink),
                         *static_cast<std::function<void(const QImage&)>*>(data));
    };
    callbacks.new_preroll = [](GstAppSink* appsink, gpointer data) {
        return sendFrame(gst_app_sink_pull_preroll(appsink),
                         *static_cast<std::function<void(const QImage&)>*>(data));
    };
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, present, nullptr);
    return sink;
}

} // namespace

std::unique_ptr<MediaFileDevice> MediaFileDevice::open(Setup setup, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        if (setup.audioSink)
            gst_object_unref(gst_object_ref_sink(setup.audioSink));
        return std::unique_ptr<MediaFileDevice>();
    };
    const QFileInfo info(setup.path);
    if (!info.isFile() || !info.isReadable())
        return fail(QStringLiteral("cannot read the file %1").arg(setup.path));
    if (!setup.audioSink)
        return fail(QStringLiteral("no audio output"));

    std::unique_ptr<MediaFileDevice> device(new MediaFileDevice);
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (!playbin)
        return fail(QStringLiteral("GStreamer's playbin is not installed"));
    // A file opened with no surface to show it on (the cues, a media file
    // opened for its sound) decodes no pictures at all: converting frames
    // nobody sees would only cost time on every play.
    GstElement* videoSink = nullptr;
    if (setup.presentFrame) {
        device->presentFrame_ = std::move(setup.presentFrame);
        videoSink = makeVideoSink(&device->presentFrame_);
    }
    // Left to itself playbin would still pick a system video sink for a video
    // stream and open a window of its own (or crash in a broken one).
    GstElement* unusedVideoSink =
        videoSink ? nullptr : gst_element_factory_make("fakesink", nullptr);
    device->spanEnd_ = std::make_unique<SpanEndGuard>();
    GstElement* audioSink = device->spanEnd_->wrap(setup.audioSink);
    g_object_set(playbin, "uri",
                 QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded().constData(), "flags",
                 kPlayAudio | kPlaySoftVolume | (videoSink ? kPlayVideo : 0u), "audio-sink",
                 audioSink, nullptr);
    setup.audioSink = nullptr;
    if (videoSink || unusedVideoSink)
        g_object_set(playbin, "video-sink", videoSink ? videoSink : unusedVideoSink, nullptr);
    // Slower plays keep their pitch: scaletempo stretches the sound to the
    // seek's rate (at 1.0 it passes the samples through untouched).
    if (GstElement* tempo = gst_element_factory_make("scaletempo", nullptr)) {
        g_object_set(playbin, "audio-filter", tempo, nullptr);
        device->keepsPitch_ = true;
    }
    device->playback_ =
        std::make_unique<PipelinePlayback>(GST_ELEMENT(gst_object_ref_sink(playbin)), setup.wake);

    QString why;
    if (!device->playback_->preroll(kPrerollTimeoutMs, &why, setup.cancel))
        return fail(QStringLiteral("cannot open %1: %2").arg(setup.path, why));

    gint videoStreams = 0;
    gint audioStreams = 0;
    g_object_get(playbin, "n-video", &videoStreams, "n-audio", &audioStreams, nullptr);
    device->hasVideo_ = videoStreams > 0;
    if (audioStreams <= 0 && videoStreams <= 0)
        return fail(QStringLiteral("%1 holds no sound or picture").arg(setup.path));
    qint64 lengthNs = device->playback_->durationNs();
    if (setup.lengths)
        lengthNs = setup.lengths->lengthNs(info.absoluteFilePath(), lengthNs);
    device->lengthMs_ = lengthNs > 0 ? (lengthNs + GST_MSECOND / 2) / GST_MSECOND : 0;
    return device;
}

MediaFileDevice::~MediaFileDevice() = default;

qint64 MediaFileDevice::convertedFrameCount()
{
    return convertedFrames;
}

QString MediaFileDevice::play(std::optional<qint64> fromMs, std::optional<qint64> toMs)
{
    if (lengthMs_ > 0 && fromMs && *fromMs > lengthMs_)
        return errorReply(
            QStringLiteral("From %1 lies beyond the end (%2 ms)").arg(*fromMs).arg(lengthMs_));
    if (lengthMs_ > 0 && toMs && *toMs > lengthMs_)
        toMs = lengthMs_;
    spanEnd_->setEndNs(toMs ? *toMs * qint64(GST_MSECOND) : -1);
    // An encoder delay is a few dozen milliseconds; a larger offset is a
    // stream's own start time, which the demuxer handles itself.
    const qint64 offsetNs = spanEnd_->segmentOffsetNs();
    qint64 extensionNs = offsetNs > 0 && offsetNs < kMaxEncoderDelayNs ? offsetNs : 0;
    // scaletempo holds back its last window of sound when the stream ends
    // (about 40 ms); it is given more than that, and the guard cuts on To.
    if (speedPermille_ != 1000)
        extensionNs += kTempoTailNs;
    playback_->setStopExtensionNs(extensionNs);
    return playback_->play(fromMs, toMs);
}

QString MediaFileDevice::setSpeed(int permille)
{
    if (permille < kMinSpeed || permille > kMaxSpeed)
        return errorReply(QStringLiteral("the speed %1 lies outside %2..%3")
                              .arg(permille)
                              .arg(kMinSpeed)
                              .arg(kMaxSpeed));
    // Without scaletempo a rate seek would change the pitch as well.
    if (permille != 1000 && !keepsPitch_)
        return errorReply(QStringLiteral("GStreamer's scaletempo is not installed"));
    playback_->setRate(permille / 1000.0);
    speedPermille_ = permille;
    return {};
}

QString MediaFileDevice::setVolume(int permille)
{
    if (permille < 0 || permille > kMaxVolume)
        return errorReply(
            QStringLiteral("the volume %1 lies outside 0..%2").arg(permille).arg(kMaxVolume));
    g_object_set(playback_->pipeline(), "volume", permille / 1000.0, nullptr);
    return {};
}

QString MediaFileDevice::pause()
{
    return playback_->pause();
}

QString MediaFileDevice::resume()
{
    return playback_->resume();
}

QString MediaFileDevice::stop()
{
    return playback_->stop();
}

QString MediaFileDevice::mode()
{
    return playback_->mode();
}

qint64 MediaFileDevice::positionMs()
{
    return playback_->positionMs();
}

void MediaFileDevice::serviceBus()
{
    playback_->serviceBus();
}

} // namespace dictora
