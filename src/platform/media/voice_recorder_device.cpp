// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/voice_recorder_device.h"

#include "platform/media/audio_devices.h"
#include "platform/media/pipeline_playback.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

namespace dictora {

namespace {

constexpr int kPrerollTimeoutMs = 5000;
constexpr qint64 kChunkMs = 100;
constexpr int kFirstSoundTimeoutMs = 2000;

QByteArray capsText(const PcmFormat& format)
{
    return QStringLiteral("audio/x-raw,format=%1,layout=interleaved,rate=%2,channels=%3")
        .arg(format.bitsPerSample == 8 ? QStringLiteral("U8") : QStringLiteral("S16LE"))
        .arg(format.sampleRate)
        .arg(format.channels)
        .toLatin1();
}

GstElement* makeElement(const char* factory)
{
    return gst_element_factory_make(factory, nullptr);
}

} // namespace

VoiceRecorderDevice::VoiceRecorderDevice(Setup setup) : setup_(std::move(setup)) {}

VoiceRecorderDevice::~VoiceRecorderDevice()
{
    playback_.reset();
    dropCapture();
}

QString VoiceRecorderDevice::record()
{
    serviceBus();
    if (capture_)
        return {};
    if (playback_)
        playback_.reset();

    GstElement* source = setup_.makeSource ? setup_.makeSource() : nullptr;
    if (!source)
        return errorReply(QStringLiteral("no audio source"));
    capture_ = gst_pipeline_new("voice-recorder");
    GstElement* convert = makeElement("audioconvert");
    GstElement* resample = makeElement("audioresample");
    GstElement* sink = makeElement("appsink");
    gst_bin_add_many(GST_BIN(capture_), source, convert, resample, sink, nullptr);
    GstCaps* caps = gst_caps_from_string(capsText(setup_.format).constData());
    g_object_set(sink, "caps", caps, "sync", FALSE, nullptr);
    gst_caps_unref(caps);
    if (!gst_element_link_many(source, convert, resample, sink, nullptr)) {
        dropCapture();
        return errorReply(QStringLiteral("the audio source gives no usable sound"));
    }
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = [](GstAppSink* appsink, gpointer data) {
        GstSample* sample = gst_app_sink_pull_sample(appsink);
        if (!sample)
            return GST_FLOW_EOS;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        GstMapInfo map;
        bool full = false;
        if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            auto* captured = static_cast<Captured*>(data);
            QMutexLocker lock(&captured->mutex);
            full = captured->pcm.size() + qsizetype(map.size) > captured->limitBytes;
            if (!full)
                captured->pcm.append(reinterpret_cast<const char*>(map.data), qsizetype(map.size));
            gst_buffer_unmap(buffer, &map);
        }
        gst_sample_unref(sample);
        // A recording left running stops at the limit instead of eating memory.
        return full ? GST_FLOW_EOS : GST_FLOW_OK;
    };
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, captured_.get(), nullptr);

    {
        QMutexLocker lock(&captured_->mutex);
        captured_->limitBytes = qsizetype(setup_.longestMs * setup_.format.sampleRate / 1000) *
                                setup_.format.bytesPerFrame();
    }
    captureBus_ = gst_element_get_bus(capture_);
    // The system default picks its device on the way to READY; a silent test
    // source there means there is nothing to record from.
    const bool ready = gst_element_set_state(capture_, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    if (ready && setup_.sourceIsSystemDefault && isSilentStandInSource(source)) {
        dropCapture();
        return errorReply(QStringLiteral("no microphone found"));
    }
    const qsizetype before = recorded().size();
    if (!ready || gst_element_set_state(capture_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return refuseCapture();
    // A source that cannot deliver fails within moments; wait for the first
    // sound or the error, so that the reply says whether recording runs.
    for (int waited = 0; waited < kFirstSoundTimeoutMs; waited += 10) {
        if (recorded().size() > before)
            return {};
        if (GstMessage* message =
                gst_bus_timed_pop_filtered(captureBus_, 10 * GST_MSECOND, GST_MESSAGE_ERROR))
            return refuseCapture(message);
    }
    dropCapture();
    return errorReply(QStringLiteral("no microphone found (no sound arrived)"));
}

QString VoiceRecorderDevice::refuseCapture(GstMessage* error)
{
    QString why = QStringLiteral("the audio source cannot be opened");
    if (GstMessage* message =
            error ? error : gst_bus_pop_filtered(captureBus_, GST_MESSAGE_ERROR)) {
        GError* gerror = nullptr;
        gst_message_parse_error(message, &gerror, nullptr);
        if (gerror)
            why = QString::fromUtf8(gerror->message);
        g_clear_error(&gerror);
        gst_message_unref(message);
    }
    dropCapture();
    return errorReply(QStringLiteral("no microphone found (%1)").arg(why));
}

void VoiceRecorderDevice::stopCapture()
{
    if (!capture_)
        return;
    // Let what the source has already captured reach memory before stopping.
    gst_element_send_event(capture_, gst_event_new_eos());
    if (GstMessage* message = gst_bus_timed_pop_filtered(
            captureBus_, 500 * GST_MSECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)))
        gst_message_unref(message);
    dropCapture();
}

void VoiceRecorderDevice::dropCapture()
{
    if (capture_) {
        gst_element_set_state(capture_, GST_STATE_NULL);
        gst_object_unref(capture_);
        capture_ = nullptr;
    }
    if (captureBus_) {
        gst_object_unref(captureBus_);
        captureBus_ = nullptr;
    }
}

QByteArray VoiceRecorderDevice::recorded() const
{
    QMutexLocker lock(&captured_->mutex);
    return captured_->pcm;
}

QString VoiceRecorderDevice::play(std::optional<qint64> fromMs, std::optional<qint64> toMs)
{
    serviceBus();
    stopCapture();
    playback_.reset();
    const QByteArray pcm = recorded();
    const qint64 frameBytes = setup_.format.bytesPerFrame();
    const qint64 totalFrames = pcm.size() / frameBytes;
    const qint64 rate = setup_.format.sampleRate;
    const qint64 firstFrame = std::clamp<qint64>(fromMs.value_or(0) * rate / 1000, 0, totalFrames);
    const qint64 endFrame =
        toMs ? std::clamp<qint64>(*toMs * rate / 1000, firstFrame, totalFrames) : totalFrames;
    if (endFrame <= firstFrame)
        return errorReply(QStringLiteral("nothing recorded to play"));

    GstElement* sink = setup_.makeSink ? setup_.makeSink() : nullptr;
    if (!sink)
        return errorReply(QStringLiteral("no audio output"));
    GstElement* pipeline = gst_pipeline_new("voice-playback");
    GstElement* source = makeElement("appsrc");
    GstElement* convert = makeElement("audioconvert");
    GstElement* resample = makeElement("audioresample");
    gst_bin_add_many(GST_BIN(pipeline), source, convert, resample, sink, nullptr);
    gst_element_link_many(source, convert, resample, sink, nullptr);
    GstCaps* caps = gst_caps_from_string(capsText(setup_.format).constData());
    g_object_set(source, "caps", caps, "format", GST_FORMAT_TIME, "max-bytes", guint64(0), nullptr);
    gst_caps_unref(caps);
    const qint64 chunkFrames = rate * kChunkMs / 1000;
    for (qint64 frame = firstFrame; frame < endFrame; frame += chunkFrames) {
        const qint64 frames = std::min(chunkFrames, endFrame - frame);
        GstBuffer* buffer =
            gst_buffer_new_memdup(pcm.constData() + frame * frameBytes, gsize(frames * frameBytes));
        GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(frame - firstFrame, GST_SECOND, rate);
        GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(frames, GST_SECOND, rate);
        gst_app_src_push_buffer(GST_APP_SRC(source), buffer);
    }
    gst_app_src_end_of_stream(GST_APP_SRC(source));

    playback_ = std::make_unique<PipelinePlayback>(pipeline, setup_.wake);
    QString why;
    if (!playback_->preroll(kPrerollTimeoutMs, &why)) {
        playback_.reset();
        return errorReply(why);
    }
    playbackStartMs_ = firstFrame * 1000 / rate;
    return playback_->play(std::nullopt, std::nullopt);
}

QString VoiceRecorderDevice::pause()
{
    return playback_ ? playback_->pause() : QString();
}

QString VoiceRecorderDevice::resume()
{
    return playback_ ? playback_->resume() : QString();
}

QString VoiceRecorderDevice::stop()
{
    serviceBus();
    stopCapture();
    return playback_ ? playback_->stop() : QString();
}

QString VoiceRecorderDevice::mode()
{
    serviceBus();
    if (capture_)
        return QStringLiteral("recording");
    return playback_ ? playback_->mode() : QStringLiteral("stopped");
}

qint64 VoiceRecorderDevice::lengthMs()
{
    QMutexLocker lock(&captured_->mutex);
    return setup_.format.durationMs(captured_->pcm.size());
}

qint64 VoiceRecorderDevice::positionMs()
{
    if (capture_)
        return lengthMs();
    return playback_ ? playbackStartMs_ + playback_->positionMs() : 0;
}

QString VoiceRecorderDevice::save(const QString& path)
{
    serviceBus();
    QString error;
    if (!writeWaveFile(path, recorded(), setup_.format, &error))
        return errorReply(error);
    return {};
}

void VoiceRecorderDevice::serviceBus()
{
    if (playback_)
        playback_->serviceBus();
    if (!captureBus_)
        return;
    while (GstMessage* message = gst_bus_pop_filtered(
               captureBus_, GstMessageType(GST_MESSAGE_ERROR | GST_MESSAGE_EOS))) {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
            gst_message_unref(message);
            dropCapture(); // the length limit was reached
            return;
        }
        GError* gerror = nullptr;
        gst_message_parse_error(message, &gerror, nullptr);
        g_warning("voice recorder: %s", gerror ? gerror->message : "?");
        g_clear_error(&gerror);
        gst_message_unref(message);
        dropCapture();
        return;
    }
}

} // namespace dictora
