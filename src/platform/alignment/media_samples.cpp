// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/alignment/media_samples.h"

#include <QFileInfo>
#include <QUrl>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <atomic>
#include <chrono>

namespace dictora {

namespace {

struct Decoding {
    GstElement* convert = nullptr;
    std::atomic<bool> audioLinked{false};
    std::atomic<bool> allPadsKnown{false};
};

void linkAudio(GstElement*, GstPad* pad, gpointer data)
{
    auto* decoding = static_cast<Decoding*>(data);
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const bool audio =
        caps && gst_caps_get_size(caps) > 0 &&
        g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/x-raw");
    if (caps)
        gst_caps_unref(caps);
    if (!audio)
        return;
    GstPad* input = gst_element_get_static_pad(decoding->convert, "sink");
    if (!gst_pad_is_linked(input) && gst_pad_link(pad, input) == GST_PAD_LINK_OK)
        decoding->audioLinked = true;
    gst_object_unref(input);
}

void noMorePads(GstElement*, gpointer data)
{
    static_cast<Decoding*>(data)->allPadsKnown = true;
}

QString errorText(GstMessage* message)
{
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    const QString text = error ? QString::fromUtf8(error->message) : QStringLiteral("error");
    if (error)
        g_error_free(error);
    return text;
}

} // namespace

MediaSamples decodeMediaSamples(const QString& path, int sampleRate, const MediaSampleSink& sink)
{
    MediaSamples result;
    if (!QFileInfo(path).isFile()) {
        result.reason = QStringLiteral("no such file");
        return result;
    }
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* decode = gst_element_factory_make("uridecodebin", nullptr);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* appsink = gst_element_factory_make("appsink", nullptr);
    if (!pipeline || !decode || !convert || !resample || !appsink) {
        for (GstElement* element : {pipeline, decode, convert, resample, appsink}) {
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        }
        result.reason = QStringLiteral("GStreamer elements missing");
        return result;
    }
    Decoding decoding;
    decoding.convert = convert;
    // Raw audio only: other streams stay encoded and unlinked, so a video's
    // pictures cost nothing.
    GstCaps* audio = gst_caps_from_string("audio/x-raw");
    g_object_set(decode, "uri", QUrl::fromLocalFile(path).toEncoded().constData(), "caps", audio,
                 nullptr);
    gst_caps_unref(audio);
    GstCaps* wanted = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE",
                                          "channels", G_TYPE_INT, 1, "rate", G_TYPE_INT, sampleRate,
                                          "layout", G_TYPE_STRING, "interleaved", nullptr);
    g_object_set(appsink, "caps", wanted, "sync", FALSE, "max-buffers", 16, nullptr);
    gst_caps_unref(wanted);
    gst_bin_add_many(GST_BIN(pipeline), decode, convert, resample, appsink, nullptr);
    gst_element_link_many(convert, resample, appsink, nullptr);
    g_signal_connect(decode, "pad-added", G_CALLBACK(linkAudio), &decoding);
    g_signal_connect(decode, "no-more-pads", G_CALLBACK(noMorePads), &decoding);

    GstBus* bus = gst_element_get_bus(pipeline);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    int64_t samplesSeen = 0;
    gint64 durationNs = -1;
    auto lastReport = std::chrono::steady_clock::now();
    result.status = MediaSamples::Status::Decoded;
    while (true) {
        GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(appsink), 50 * GST_MSECOND);
        if (sample) {
            GstBuffer* buffer = gst_sample_get_buffer(sample);
            GstMapInfo map;
            if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                const int count = int(map.size / 2);
                if (sink.samples)
                    sink.samples(reinterpret_cast<const int16_t*>(map.data), count);
                samplesSeen += count;
                gst_buffer_unmap(buffer, &map);
            }
            gst_sample_unref(sample);
        } else if (gst_app_sink_is_eos(GST_APP_SINK(appsink))) {
            break;
        }
        if (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
            const QString reason = errorText(message);
            gst_message_unref(message);
            if (!decoding.audioLinked) {
                result.status = MediaSamples::Status::NoAudio;
            } else {
                result.status = MediaSamples::Status::Unreadable;
                result.reason = reason;
            }
            break;
        }
        // Every stream is known and none is audio: nothing will come.
        if (!sample && decoding.allPadsKnown && !decoding.audioLinked) {
            result.status = MediaSamples::Status::NoAudio;
            break;
        }
        const auto now = std::chrono::steady_clock::now();
        if (sink.progress && now - lastReport >= std::chrono::milliseconds(100)) {
            lastReport = now;
            if (durationNs <= 0)
                gst_element_query_duration(pipeline, GST_FORMAT_TIME, &durationNs);
            const double done =
                durationNs > 0 ? std::min(1.0, samplesSeen * 1e9 / sampleRate / double(durationNs))
                               : 0.0;
            if (!sink.progress(done)) {
                result.status = MediaSamples::Status::Cancelled;
                break;
            }
        }
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    result.durationMs = samplesSeen * 1000 / sampleRate;
    if (result.status == MediaSamples::Status::Decoded && samplesSeen == 0 && !decoding.audioLinked)
        result.status = MediaSamples::Status::NoAudio;
    return result;
}

} // namespace dictora
