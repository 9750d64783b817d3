// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMutex>

#include <gst/gst.h>

#include <optional>
#include <vector>

namespace dictora::bench {

// The first samples of the first channel a fakesink renders (F32LE,
// interleaved), clipped to the segment as an audio sink clips.
struct HeardStart {
    static constexpr size_t kSamples = 4096;

    QMutex mutex;
    std::vector<float> samples;

    void reset();
    // Connect to a fakesink's "handoff" signal with the HeardStart as data.
    static void onHandoff(GstElement* sink, GstBuffer* buffer, GstPad* pad, gpointer self);
};

// Where in source the heard samples really begin, relative to expected, in
// samples (cross-correlation over +-searchSamples); nullopt without a clear match.
std::optional<int> heardOffset(const std::vector<float>& heard, const std::vector<float>& source,
                               qint64 expected, int searchSamples);

} // namespace dictora::bench
