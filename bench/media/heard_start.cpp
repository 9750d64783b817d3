// SPDX-License-Identifier: GPL-3.0-or-later
#include "heard_start.h"

#include <gst/audio/audio.h>

#include <cmath>

namespace dictora::bench {

void HeardStart::reset()
{
    QMutexLocker lock(&mutex);
    samples.clear();
}

void HeardStart::onHandoff(GstElement*, GstBuffer* buffer, GstPad* pad, gpointer self)
{
    auto* heard = static_cast<HeardStart*>(self);
    GstCaps* caps = gst_pad_get_current_caps(pad);
    GstAudioInfo info;
    const bool ok = caps && gst_audio_info_from_caps(&info, caps) &&
                    GST_AUDIO_INFO_FORMAT(&info) == GST_AUDIO_FORMAT_F32LE &&
                    GST_AUDIO_INFO_LAYOUT(&info) == GST_AUDIO_LAYOUT_INTERLEAVED;
    if (caps)
        gst_caps_unref(caps);
    GstEvent* event = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0);
    if (ok && event && GST_BUFFER_PTS_IS_VALID(buffer)) {
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(event, &segment);
        const int rate = GST_AUDIO_INFO_RATE(&info);
        const int channels = GST_AUDIO_INFO_CHANNELS(&info);
        const guint64 frames = gst_buffer_get_size(buffer) / guint(GST_AUDIO_INFO_BPF(&info));
        const guint64 start = GST_BUFFER_PTS(buffer);
        const guint64 end = start + gst_util_uint64_scale_int(frames, GST_SECOND, rate);
        guint64 clippedStart = 0;
        guint64 clippedEnd = 0;
        GstMapInfo map;
        if (gst_segment_clip(segment, GST_FORMAT_TIME, start, end, &clippedStart, &clippedEnd) &&
            clippedEnd > clippedStart && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            const guint64 skip =
                gst_util_uint64_scale_int_round(clippedStart - start, rate, GST_SECOND);
            const guint64 keep =
                gst_util_uint64_scale_int_round(clippedEnd - clippedStart, rate, GST_SECOND);
            const auto* data = reinterpret_cast<const float*>(map.data);
            QMutexLocker lock(&heard->mutex);
            for (guint64 i = skip;
                 i < skip + keep && i < frames && heard->samples.size() < kSamples; ++i)
                heard->samples.push_back(data[i * channels]);
            gst_buffer_unmap(buffer, &map);
        }
    }
    if (event)
        gst_event_unref(event);
}

std::optional<int> heardOffset(const std::vector<float>& heard, const std::vector<float>& source,
                               qint64 expected, int searchSamples)
{
    if (heard.size() < 1024)
        return std::nullopt;
    const qint64 n = qint64(heard.size());
    double heardEnergy = 0;
    for (float v : heard)
        heardEnergy += double(v) * v;
    double best = -1;
    int bestLag = 0;
    for (int lag = -searchSamples; lag <= searchSamples; ++lag) {
        const qint64 at = expected + lag;
        if (at < 0 || at + n > qint64(source.size()))
            continue;
        double dot = 0;
        double energy = 0;
        for (qint64 i = 0; i < n; ++i) {
            dot += double(heard[i]) * source[at + i];
            energy += double(source[at + i]) * source[at + i];
        }
        const double score = dot / std::sqrt(energy * heardEnergy + 1e-12);
        if (score > best) {
            best = score;
            bestLag = lag;
        }
    }
    return best > 0.5 ? std::optional<int>(bestLag) : std::nullopt;
}

} // namespace dictora::bench
