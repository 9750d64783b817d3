// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMutex>

#include <memory>

typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;
typedef struct _GstBuffer GstBuffer;

namespace dictora {

// Counts the audio that reaches a sink, clipped to the playing segment as an
// audio sink clips it: the media time of the first sample, the number of
// samples and the loudest of them, plus when the first buffer arrived. With a fakesink that signals
// handoffs, buffers are counted as they are rendered (after clock sync);
// with any other sink, as they enter it.
class AudioDeliveryMeter {
public:
    struct Delivery {
        qint64 firstSampleNs = -1; // media (stream) time of the first sample, -1: none yet
        qint64 samples = 0;        // per channel
        int sampleRate = 0;
        qint64 firstArrivalUs = -1; // g_get_monotonic_time() at the first buffer
        double peak = 0.0;          // loudest sample, as a share of full scale

        qint64 durationNs() const
        {
            return sampleRate > 0 ? samples * 1000000000LL / sampleRate : 0;
        }
    };

    // Starts counting the audio entering sink (an element or bin with a "sink"
    // pad). The meter must outlive the sink's pipeline.
    void attach(GstElement* sink);
    // A fakesink counted by this meter: synced to the clock (as a sound card
    // renders) or as fast as the pipeline runs.
    GstElement* makeFakeSink(bool sync);
    // Forgets what was counted: the next buffer is the first again.
    void reset();
    Delivery delivery() const;

private:
    void count(GstPad* pad, GstBuffer* buffer);

    mutable QMutex mutex_;
    Delivery delivery_;
};

} // namespace dictora
