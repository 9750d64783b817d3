// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/loudness_levelling.h"
#include "platform/media/decoded_audio.h"

#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace dictora {

// Where a measurement looks for the true peak (libebur128's 4x oversampling
// costs several times its loudness measurement, so it runs only where it
// can matter; see LoudnessMeter).
enum class TruePeakScope {
    // Every chunk that may hold the file's loudest true peak: the true peak
    // printed and stored is the file's own.
    Everywhere,
    // Only the chunks whose true peak could reach the ceiling once the file
    // is levelled. The gain comes out as with Everywhere; the true peak is
    // the file's own where it limits the gain, and otherwise may be as low
    // as the loudest sample (truePeakComplete false).
    WhereItLimits,
};

// Measures EBU R128 integrated loudness and true peak with libebur128 over
// the blocks it is given. All blocks must share one rate and channel count
// (later blocks of another format are skipped).
//
// The true peak is looked for only on the 10 ms chunks whose sample peak lies
// within kTruePeakSearchDb of the loudest sample of the file. An inter-sample
// peak lies less than that above its neighbouring samples (for any sound
// below a quarter of the sampling rate), so the loudest true peak is among
// the chunks measured. Chunks near the loudest sample met so far are kept,
// with kEdgeFrames of sound before and after them so the oversampling filter
// starts and ends in the real signal, and dropped when a louder sample comes;
// they are measured when the end shows they count, or earlier when more than
// kPendingSamples wait.
class LoudnessMeter {
public:
    LoudnessMeter();
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    void add(const AudioBlock& block);
    // Nothing before the first block, or when libebur128 failed. Ends the
    // measurement: blocks added later are not all counted.
    std::optional<Loudness> result(TruePeakScope scope = TruePeakScope::Everywhere);
    // The loudness of meters that measured the parts of one file, as one:
    // the gating blocks of all parts together, the highest true peak.
    static std::optional<Loudness> combined(const std::vector<LoudnessMeter*>& parts,
                                            TruePeakScope scope = TruePeakScope::Everywhere);

    static constexpr double kTruePeakSearchDb = 3.0;
    // Frames kept before and after a chunk for the oversampling filter
    // (libebur128's looks 12 frames back).
    static constexpr qint64 kEdgeFrames = 64;
    // At most this many samples wait for their true peak (16 MB).
    static constexpr qint64 kPendingSamples = 4 * 1024 * 1024;

private:
    // libebur128's state, an anonymous struct that cannot be declared here.
    struct State;
    // A chunk that may hold the loudest true peak, with the sound around it.
    struct Candidate {
        std::vector<float> samples; // lead-in, chunk, lead-out
        qint64 leadInFrames = 0;
        float samplePeak = 0.0f;
        bool complete = false; // its lead-out is there
    };

    void addChunk(const float* samples, qint64 frames);
    void dropCandidatesBelow(float threshold);
    void measureTruePeak(const Candidate& candidate);
    // Measures the waiting candidates whose sample peak reaches threshold
    // and forgets all; false when some that reach searched were left out.
    bool measureCandidates(float threshold, float searched);

    std::unique_ptr<State> state_;
    std::unique_ptr<State> peakMeter_;
    std::deque<Candidate> candidates_;
    qint64 candidateSamples_ = 0;
    std::vector<float> lastFrames_; // the kEdgeFrames before the next chunk
    float loudestSample_ = 0.0f;
    float threshold_ = 0.0f;
    double truePeak_ = 0.0;
    int channels_ = 0;
    int rate_ = 0;
    bool failed_ = false;
};

// Decodes the file in parts side by side and measures each part on a thread
// of its own while it is decoded; nothing with *error set when it cannot.
std::optional<Loudness> measureLoudness(const QString& path, QString* error,
                                        const std::atomic<bool>* cancel = nullptr,
                                        TruePeakScope scope = TruePeakScope::Everywhere);

} // namespace dictora
