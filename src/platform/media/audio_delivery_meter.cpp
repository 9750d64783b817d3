// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/audio_delivery_meter.h"

#include <gst/audio/audio.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace dictora {

namespace {

// The loudest sample, as a share of full scale, of count frames from frame
// first on; 0 when the buffer cannot be read.
double peakOf(const GstAudioInfo& info, GstBuffer* buffer, guint64 first, guint64 count)
{
    GstAudioInfo layout = info;
    GstAudioBuffer audio;
    if (count == 0 || !gst_audio_buffer_map(&audio, &layout, buffer, GST_MAP_READ))
        return 0.0;
    const GstAudioFormatInfo* format = info.finfo;
    const bool asFloat = format->unpack_format == GST_AUDIO_FORMAT_F64;
    const int channels = GST_AUDIO_INFO_CHANNELS(&info);
    // A plane holds every channel, or one channel of planar audio.
    const guint64 valuesPerFrame = audio.n_planes > 1 ? 1 : guint64(channels);
    const guint64 bytesPerValue = guint64(GST_AUDIO_INFO_BPF(&info) / channels);
    const gint length = gint(count * valuesPerFrame);
    std::vector<double> floats(asFloat ? size_t(length) : 0);
    std::vector<gint32> integers(asFloat ? 0 : size_t(length));
    double peak = 0.0;
    for (gint plane = 0; plane < audio.n_planes; ++plane) {
        const auto* from = static_cast<const guint8*>(audio.planes[plane]) +
                           first * valuesPerFrame * bytesPerValue;
        if (asFloat) {
            format->unpack_func(format, GST_AUDIO_PACK_FLAG_NONE, floats.data(), from, length);
            for (const double value : floats)
                peak = std::max(peak, std::fabs(value));
        } else {
            // Integers unpack to 32 bits, filled from the top.
            format->unpack_func(format, GST_AUDIO_PACK_FLAG_NONE, integers.data(), from, length);
            for (const gint32 value : integers)
                peak = std::max(peak, std::fabs(double(value)) / 2147483648.0);
        }
    }
    gst_audio_buffer_unmap(&audio);
    return peak;
}

} // namespace

GstElement* AudioDeliveryMeter::makeFakeSink(bool sync)
{
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (!sink)
        return nullptr;
    g_object_set(sink, "sync", sync ? TRUE : FALSE, nullptr);
    attach(sink);
    return sink;
}

void AudioDeliveryMeter::attach(GstElement* sink)
{
    GstElementFactory* factory = gst_element_get_factory(sink);
    const bool handoffs =
        factory &&
        g_strcmp0(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fakesink") == 0;
    if (handoffs) {
        g_object_set(sink, "signal-handoffs", TRUE, nullptr);
        g_signal_connect(
            sink, "handoff",
            G_CALLBACK(+[](GstElement*, GstBuffer* buffer, GstPad* pad, gpointer self) {
                static_cast<AudioDeliveryMeter*>(self)->count(pad, buffer);
            }),
            this);
        return;
    }
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    if (!pad)
        return;
    gst_pad_add_probe(
        pad, GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad* probed, GstPadProbeInfo* info, gpointer self) {
            static_cast<AudioDeliveryMeter*>(self)->count(probed, GST_PAD_PROBE_INFO_BUFFER(info));
            return GST_PAD_PROBE_OK;
        },
        this, nullptr);
    gst_object_unref(pad);
}

void AudioDeliveryMeter::reset()
{
    QMutexLocker lock(&mutex_);
    delivery_ = Delivery{};
}

AudioDeliveryMeter::Delivery AudioDeliveryMeter::delivery() const
{
    QMutexLocker lock(&mutex_);
    return delivery_;
}

void AudioDeliveryMeter::count(GstPad* pad, GstBuffer* buffer)
{
    if (!buffer || !GST_BUFFER_PTS_IS_VALID(buffer))
        return;
    GstCaps* caps = gst_pad_get_current_caps(pad);
    GstAudioInfo info;
    const bool audio = caps && gst_audio_info_from_caps(&info, caps);
    if (caps)
        gst_caps_unref(caps);
    if (!audio || GST_AUDIO_INFO_BPF(&info) <= 0 || GST_AUDIO_INFO_RATE(&info) <= 0)
        return;
    GstEvent* segmentEvent = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0);
    if (!segmentEvent)
        return;
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(segmentEvent, &segment);

    const int rate = GST_AUDIO_INFO_RATE(&info);
    // Planar (non-interleaved) audio, as some decoders give it, is clipped by
    // shrinking its audio meta while the memory keeps its size.
    const GstAudioMeta* planar = gst_buffer_get_audio_meta(buffer);
    const guint64 frames =
        planar ? planar->samples : gst_buffer_get_size(buffer) / guint(GST_AUDIO_INFO_BPF(&info));
    const guint64 start = GST_BUFFER_PTS(buffer);
    const guint64 end = start + gst_util_uint64_scale_int(frames, GST_SECOND, rate);
    guint64 clippedStart = start;
    guint64 clippedEnd = end;
    const bool inside =
        segment->format == GST_FORMAT_TIME &&
        gst_segment_clip(segment, GST_FORMAT_TIME, start, end, &clippedStart, &clippedEnd);
    if (inside && clippedEnd > clippedStart) {
        const guint64 skipped =
            gst_util_uint64_scale_int_round(clippedStart - start, rate, GST_SECOND);
        const guint64 cut = gst_util_uint64_scale_int_round(end - clippedEnd, rate, GST_SECOND);
        const qint64 kept = qint64(frames) - qint64(skipped) - qint64(cut);
        const guint64 streamTime =
            gst_segment_to_stream_time(segment, GST_FORMAT_TIME, clippedStart);
        const double peak = kept > 0 ? peakOf(info, buffer, skipped, guint64(kept)) : 0.0;
        QMutexLocker lock(&mutex_);
        delivery_.peak = std::max(delivery_.peak, peak);
        if (delivery_.firstSampleNs < 0) {
            delivery_.firstSampleNs = qint64(streamTime);
            delivery_.firstArrivalUs = g_get_monotonic_time();
            delivery_.sampleRate = rate;
        }
        if (kept > 0)
            delivery_.samples += kept;
    }
    gst_event_unref(segmentEvent);
}

} // namespace dictora
