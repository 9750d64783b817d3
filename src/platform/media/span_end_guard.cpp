// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/span_end_guard.h"

#include <gst/audio/audio.h>
#include <gst/gst.h>

#include <cmath>

namespace dictora {

int SpanEndGuard::onPad(GstPad* pad, GstPadProbeInfo* info, void* self)
{
    std::atomic<qint64>& endNs = static_cast<SpanEndGuard*>(self)->endNs_;
    std::atomic<qint64>& offsetNs = static_cast<SpanEndGuard*>(self)->offsetNs_;
    // Touched only on the streaming thread, which brings both events and buffers.
    qint64& framesInSegment = static_cast<SpanEndGuard*>(self)->framesInSegment_;

    if (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
            const GstSegment* segment = nullptr;
            gst_event_parse_segment(event, &segment);
            if (segment->format == GST_FORMAT_TIME && segment->rate > 0)
                offsetNs.store(qint64(segment->start) - qint64(segment->time));
            framesInSegment = 0;
        }
        return GST_PAD_PROBE_OK;
    }

    const qint64 end = endNs.load();
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (end < 0 || !buffer || !GST_BUFFER_PTS_IS_VALID(buffer))
        return GST_PAD_PROBE_OK;
    GstEvent* segmentEvent = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0);
    GstCaps* caps = gst_pad_get_current_caps(pad);
    GstAudioInfo audio;
    const bool known = segmentEvent && caps && gst_audio_info_from_caps(&audio, caps) &&
                       GST_AUDIO_INFO_RATE(&audio) > 0 && GST_AUDIO_INFO_BPF(&audio) > 0;
    if (caps)
        gst_caps_unref(caps);
    GstPadProbeReturn result = GST_PAD_PROBE_OK;
    if (known) {
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(segmentEvent, &segment);
        guint64 cut = 0;
        const int rate = GST_AUDIO_INFO_RATE(&audio);
        const gint bpf = GST_AUDIO_INFO_BPF(&audio);
        const GstAudioMeta* planar = gst_buffer_get_audio_meta(buffer);
        const guint64 frames = planar ? planar->samples : gst_buffer_get_size(buffer) / guint(bpf);
        const bool stretched = segment->format == GST_FORMAT_TIME && segment->applied_rate != 1.0 &&
                               segment->applied_rate > 0 && end >= qint64(segment->time);
        if (stretched) {
            // A tempo change (scaletempo) stamps its output by where its
            // input came from, a window off the sound it sends; the span's
            // length is exact only counted in samples from the segment's
            // start, which is the From point.
            const qint64 spanFrames = qint64(std::llround(double(end - qint64(segment->time)) /
                                                          segment->applied_rate * rate / GST_SECOND));
            const qint64 keep = spanFrames - framesInSegment;
            if (keep <= 0) {
                result = GST_PAD_PROBE_DROP;
            } else if (guint64(keep) < frames) {
                buffer = gst_audio_buffer_truncate(gst_buffer_make_writable(buffer), bpf, 0,
                                                   gsize(keep));
                GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale_int(guint64(keep), GST_SECOND, rate);
                GST_PAD_PROBE_INFO_DATA(info) = buffer;
                framesInSegment += keep;
            } else {
                framesInSegment += qint64(frames);
            }
        } else if (segment->format == GST_FORMAT_TIME &&
                   gst_segment_position_from_stream_time_full(segment, GST_FORMAT_TIME,
                                                              guint64(end), &cut) > 0) {
            const guint64 start = GST_BUFFER_PTS(buffer);
            if (start >= cut) {
                result = GST_PAD_PROBE_DROP;
            } else {
                const guint64 keep = gst_util_uint64_scale_int_round(cut - start, rate, GST_SECOND);
                if (keep < frames) {
                    buffer =
                        gst_audio_buffer_truncate(gst_buffer_make_writable(buffer), bpf, 0, keep);
                    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale_int(keep, GST_SECOND, rate);
                    GST_PAD_PROBE_INFO_DATA(info) = buffer;
                }
            }
        }
    }
    if (segmentEvent)
        gst_event_unref(segmentEvent);
    return result;
}

GstElement* SpanEndGuard::wrap(GstElement* sink)
{
    GstElement* bin = gst_bin_new(nullptr);
    GstElement* entry = gst_element_factory_make("identity", nullptr);
    if (!bin || !entry || !sink) {
        if (bin)
            gst_object_unref(bin);
        if (entry)
            gst_object_unref(entry);
        return sink;
    }
    g_object_set(entry, "silent", TRUE, nullptr);
    gst_bin_add_many(GST_BIN(bin), entry, sink, nullptr);
    gst_element_link(entry, sink);
    GstPad* entryPad = gst_element_get_static_pad(entry, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", entryPad));
    gst_object_unref(entryPad);

    GstPad* out = gst_element_get_static_pad(entry, "src");
    gst_pad_add_probe(
        out, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        reinterpret_cast<GstPadProbeCallback>(&SpanEndGuard::onPad), this, nullptr);
    gst_object_unref(out);
    return bin;
}

} // namespace dictora
