// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/audio_delivery_meter.h"

#include <gst/audio/audio.h>
#include <gst/gst.h>

namespace dictora {

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
        QMutexLocker lock(&mutex_);
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
