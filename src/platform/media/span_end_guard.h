// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <atomic>

typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;
typedef struct _GstPadProbeInfo GstPadProbeInfo;

namespace dictora {

// Stands in front of the audio sink and makes a span end exactly on its To
// point in the media's own (stream) time: the buffer that crosses it is cut
// there and later ones never reach the sink.
//
// Slowed down (a segment whose applied rate is not 1, from scaletempo) the
// span is cut by its length in samples: From..To stretched by the rate.
//
// The demuxer's own stop is not always enough. qtdemux (GStreamer 1.22)
// stops early by the start offset of an edit list, the usual way MP4 files
// state their AAC encoder delay, so such a span would lose its last 23 ms.
// The guard also notes that offset (segment start minus segment time), so the
// caller can ask the demuxer for that much more and let the guard cut.
class SpanEndGuard {
public:
    // Wraps sink in a bin whose first element carries the guard. The guard
    // must outlive the bin's pipeline.
    GstElement* wrap(GstElement* sink);

    // The stream time, in nanoseconds, where the next span ends; -1: none.
    void setEndNs(qint64 endNs) { endNs_.store(endNs); }
    // How far buffer times run ahead of stream time in the current segment.
    qint64 segmentOffsetNs() const { return offsetNs_.load(); }

private:
    static int onPad(GstPad* pad, GstPadProbeInfo* info, void* self);

    std::atomic<qint64> endNs_{-1};
    std::atomic<qint64> offsetNs_{0};
    qint64 framesInSegment_ = 0;
};

} // namespace dictora
