// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/speech/speech_pipeline.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

namespace dictora {

SpeechPipeline::SpeechPipeline(SinkFactory makeSink) : makeSink_(std::move(makeSink)) {}

SpeechPipeline::~SpeechPipeline()
{
    release();
}

bool SpeechPipeline::build(int sampleRate, QString* error)
{
    GstElement* sink = makeSink_ ? makeSink_(error) : nullptr;
    if (!sink) {
        if (error && error->isEmpty())
            *error = QStringLiteral("no audio output");
        return false;
    }
    GstElement* source = gst_element_factory_make("appsrc", nullptr);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    if (!source || !convert || !resample) {
        for (GstElement* element : {sink, source, convert, resample}) {
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        }
        if (error)
            *error = QStringLiteral("GStreamer base plugins are missing");
        return false;
    }
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE", "layout",
                                        G_TYPE_STRING, "interleaved", "rate", G_TYPE_INT,
                                        sampleRate, "channels", G_TYPE_INT, 1, nullptr);
    g_object_set(source, "caps", caps, "format", GST_FORMAT_TIME, "max-bytes", guint64(0), nullptr);
    gst_caps_unref(caps);

    pipeline_ = gst_pipeline_new("speech");
    gst_bin_add_many(GST_BIN(pipeline_), source, convert, resample, sink, nullptr);
    if (!gst_element_link_many(source, convert, resample, sink, nullptr)) {
        release();
        if (error)
            *error = QStringLiteral("the audio output does not take speech");
        return false;
    }
    source_ = source;
    sampleRate_ = sampleRate;
    return true;
}

bool SpeechPipeline::begin(int sampleRate, QString* error)
{
    if (pipeline_ && sampleRate != sampleRate_)
        release();
    if (!pipeline_ && !build(sampleRate, error))
        return false;
    stop();
    // PAUSED prerolls on the first chunk, so the first syllable is not
    // counted late against a clock that started before it existed.
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    return true;
}

void SpeechPipeline::push(const int16_t* samples, int count)
{
    if (!source_ || count <= 0 || finished_)
        return;
    const gsize bytes = gsize(count) * sizeof(int16_t);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    gst_buffer_fill(buffer, 0, samples, bytes);
    GST_BUFFER_PTS(buffer) =
        gst_util_uint64_scale(uint64_t(pushedSamples_), GST_SECOND, uint64_t(sampleRate_));
    GST_BUFFER_DURATION(buffer) =
        gst_util_uint64_scale(uint64_t(count), GST_SECOND, uint64_t(sampleRate_));
    pushedSamples_ += count;
    gst_app_src_push_buffer(GST_APP_SRC(source_), buffer);
    startPlaying();
}

void SpeechPipeline::startPlaying()
{
    if (started_)
        return;
    started_ = true;
    gst_element_set_state(pipeline_, GST_STATE_PLAYING);
}

void SpeechPipeline::finish()
{
    if (!source_ || finished_)
        return;
    finished_ = true;
    gst_app_src_end_of_stream(GST_APP_SRC(source_));
    startPlaying();
}

int SpeechPipeline::positionMs() const
{
    gint64 position = 0;
    if (!pipeline_ || !started_ ||
        !gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) || position < 0)
        return -1;
    return int(position / GST_MSECOND);
}

int SpeechPipeline::pushedMs() const
{
    return sampleRate_ > 0 ? int(pushedSamples_ * 1000 / sampleRate_) : 0;
}

bool SpeechPipeline::playedOut()
{
    if (!pipeline_)
        return true;
    GstBus* bus = gst_element_get_bus(pipeline_);
    bool done = false;
    while (GstMessage* message =
               gst_bus_pop_filtered(bus, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR))) {
        done = true;
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    return done;
}

void SpeechPipeline::stop()
{
    if (!pipeline_)
        return;
    // READY flushes every queued buffer and resets the appsrc's end of stream.
    gst_element_set_state(pipeline_, GST_STATE_READY);
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_flushing(bus, TRUE);
    gst_bus_set_flushing(bus, FALSE);
    gst_object_unref(bus);
    pushedSamples_ = 0;
    started_ = false;
    finished_ = false;
}

void SpeechPipeline::release()
{
    if (!pipeline_)
        return;
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
    source_ = nullptr;
    sampleRate_ = 0;
    pushedSamples_ = 0;
    started_ = false;
    finished_ = false;
}

} // namespace dictora
