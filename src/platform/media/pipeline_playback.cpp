// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/pipeline_playback.h"

#include <gst/gst.h>

#include <algorithm>

namespace dictora {

PipelinePlayback::PipelinePlayback(GstElement* pipeline, std::function<void()> wake)
    : pipeline_(pipeline), bus_(gst_element_get_bus(pipeline)), wake_(std::move(wake))
{
    gst_bus_set_sync_handler(
        bus_, reinterpret_cast<GstBusSyncHandler>(&PipelinePlayback::onSyncMessage), this, nullptr);
}

PipelinePlayback::~PipelinePlayback()
{
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
    gst_object_unref(bus_);
    gst_object_unref(pipeline_);
}

int PipelinePlayback::onSyncMessage(GstBus*, GstMessage* message, void* self)
{
    // Only these are acted on; dropping the rest (tags, state changes, QoS)
    // keeps the bus from growing while nobody sends a command.
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_CLOCK_LOST:
        if (static_cast<PipelinePlayback*>(self)->wake_)
            static_cast<PipelinePlayback*>(self)->wake_();
        return GST_BUS_PASS;
    default:
        return GST_BUS_DROP;
    }
}

bool PipelinePlayback::preroll(int timeoutMs, QString* error, const std::atomic<bool>* cancel)
{
    constexpr int kCancelCheckMs = 20;
    // On failure the error message on the bus says why.
    if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE) {
        GstStateChangeReturn result = GST_STATE_CHANGE_ASYNC;
        for (int waitedMs = 0; result == GST_STATE_CHANGE_ASYNC && waitedMs < timeoutMs &&
                               !(cancel && cancel->load());) {
            const int sliceMs =
                cancel ? std::min(kCancelCheckMs, timeoutMs - waitedMs) : timeoutMs - waitedMs;
            result = gst_element_get_state(pipeline_, nullptr, nullptr,
                                           GstClockTime(sliceMs) * GST_MSECOND);
            waitedMs += sliceMs;
        }
        if (result == GST_STATE_CHANGE_SUCCESS || result == GST_STATE_CHANGE_NO_PREROLL) {
            armedAtMs_ = 0;
            dropStaleEnds();
            return true;
        }
        if (result == GST_STATE_CHANGE_ASYNC) {
            if (error)
                *error =
                    cancel && cancel->load()
                        ? QStringLiteral("the opening was cancelled")
                        : QStringLiteral("the media did not start within %1 ms").arg(timeoutMs);
            gst_element_set_state(pipeline_, GST_STATE_NULL);
            return false;
        }
    }
    QString why = QStringLiteral("the media cannot be played");
    while (GstMessage* message = gst_bus_pop_filtered(bus_, GST_MESSAGE_ERROR)) {
        GError* gerror = nullptr;
        gst_message_parse_error(message, &gerror, nullptr);
        if (gerror) {
            why = QString::fromUtf8(gerror->message);
            g_error_free(gerror);
        }
        gst_message_unref(message);
    }
    if (error)
        *error = why;
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    return false;
}

bool PipelinePlayback::seek(qint64 fromMs, std::optional<qint64> toMs)
{
    const gint64 start = gint64(fromMs) * GST_MSECOND;
    const gint64 stop =
        toMs ? gint64(*toMs) * GST_MSECOND + stopExtensionNs_ : gint64(GST_CLOCK_TIME_NONE);
    lastSeekMs_ = fromMs;
    const bool sent = gst_element_seek(pipeline_, rate_, GST_FORMAT_TIME,
                                       GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                       GST_SEEK_TYPE_SET, start, GST_SEEK_TYPE_SET, stop);
    // The flush has passed: an end reported before it belongs to the old span.
    dropStaleEnds();
    return sent;
}

void PipelinePlayback::dropStaleEnds()
{
    while (GstMessage* message =
               gst_bus_pop_filtered(bus_, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR))) {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR)
            handle(message);
        gst_message_unref(message);
    }
}

void PipelinePlayback::setRate(double rate)
{
    if (rate == rate_)
        return;
    rate_ = rate;
    // A pipeline waiting prerolled was seeked at the old speed.
    armedAtMs_.reset();
}

QString PipelinePlayback::play(std::optional<qint64> fromMs, std::optional<qint64> toMs)
{
    serviceBus();
    if (fromMs && *fromMs < 0)
        return QStringLiteral("error: the From position is out of range");
    if (toMs && *toMs < 0)
        return QStringLiteral("error: the To position is out of range");
    if (fromMs && toMs && *toMs < *fromMs)
        return QStringLiteral("error: the To position lies before the From position");
    const bool armed = fromMs && !toMs && armedAtMs_ == fromMs;
    if (!armed) {
        if (fromMs || toMs) {
            const qint64 from = fromMs ? *fromMs : positionMs();
            if (!seek(from, toMs))
                return QStringLiteral("error: the media cannot seek there");
        }
    }
    armedAtMs_.reset();
    rearmAtMs_ = toMs ? std::nullopt : fromMs;
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        mode_ = Mode::Stopped;
        return QStringLiteral("error: the media cannot be played");
    }
    mode_ = Mode::Playing;
    return {};
}

QString PipelinePlayback::pause()
{
    serviceBus();
    if (mode_ != Mode::Playing)
        return {};
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    mode_ = Mode::Paused;
    return {};
}

QString PipelinePlayback::resume()
{
    serviceBus();
    if (mode_ != Mode::Paused)
        return {};
    gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    mode_ = Mode::Playing;
    return {};
}

QString PipelinePlayback::stop()
{
    serviceBus();
    if (mode_ != Mode::Stopped)
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    mode_ = Mode::Stopped;
    return {};
}

QString PipelinePlayback::mode()
{
    serviceBus();
    switch (mode_) {
    case Mode::Playing:
        return QStringLiteral("playing");
    case Mode::Paused:
        return QStringLiteral("paused");
    case Mode::Stopped:
        break;
    }
    return QStringLiteral("stopped");
}

qint64 PipelinePlayback::positionMs() const
{
    // Between a seek and the first data of the new span the sinks know no
    // position yet; the sound is then at the seek's target.
    gint64 position = 0;
    if (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) || position < 0)
        return lastSeekMs_;
    return (position + GST_MSECOND / 2) / GST_MSECOND;
}

qint64 PipelinePlayback::durationNs() const
{
    gint64 duration = -1;
    if (!gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &duration) || duration <= 0)
        return -1;
    return duration;
}

void PipelinePlayback::serviceBus()
{
    while (GstMessage* message = gst_bus_pop(bus_)) {
        handle(message);
        gst_message_unref(message);
    }
}

void PipelinePlayback::handle(GstMessage* message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        if (mode_ == Mode::Playing) {
            mode_ = Mode::Stopped;
            gst_element_set_state(pipeline_, GST_STATE_PAUSED);
            if (rearmAtMs_ && seek(*rearmAtMs_, std::nullopt))
                armedAtMs_ = rearmAtMs_;
        }
        break;
    case GST_MESSAGE_ERROR: {
        GError* gerror = nullptr;
        gchar* debug = nullptr;
        gst_message_parse_error(message, &gerror, &debug);
        g_warning("media playback: %s (%s)", gerror ? gerror->message : "?", debug ? debug : "");
        g_clear_error(&gerror);
        g_free(debug);
        mode_ = Mode::Stopped;
        armedAtMs_.reset();
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        break;
    }
    case GST_MESSAGE_CLOCK_LOST:
        // The audio device went away: a new clock is chosen on the way back
        // to PLAYING.
        if (mode_ == Mode::Playing) {
            gst_element_set_state(pipeline_, GST_STATE_PAUSED);
            gst_element_set_state(pipeline_, GST_STATE_PLAYING);
        }
        break;
    default:
        break;
    }
}

} // namespace dictora
