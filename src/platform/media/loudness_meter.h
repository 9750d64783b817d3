// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/loudness_levelling.h"
#include "platform/media/decoded_audio.h"

#include <memory>
#include <optional>
#include <vector>

namespace dictora {

// Measures EBU R128 integrated loudness and true peak with libebur128 over
// the blocks it is given. All blocks must share one rate and channel count
// (later blocks of another format are skipped).
//
// libebur128's true peak (4x oversampling) costs three times its loudness
// measurement, so it runs only where it can matter: on the 10 ms chunks
// whose sample peak lies within kTruePeakSearchDb of the loudest sample met
// so far, each run of such chunks with the chunk before it as lead-in. An
// inter-sample peak lies less than that above its neighbouring samples, so
// the loudest true peak is always among the chunks measured.
class LoudnessMeter {
public:
    LoudnessMeter();
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    void add(const AudioBlock& block);
    // Nothing before the first block, or when libebur128 failed. Ends the
    // measurement: blocks added later are not all counted.
    std::optional<Loudness> result();
    // The loudness of meters that measured the parts of one file, as one:
    // the gating blocks of all parts together, the highest true peak.
    static std::optional<Loudness> combined(const std::vector<LoudnessMeter*>& parts);

    static constexpr double kTruePeakSearchDb = 3.0;

private:
    // libebur128's state, an anonymous struct that cannot be declared here.
    struct State;
    void addChunk(const float* samples, qint64 frames);
    void endPeakRun();

    std::unique_ptr<State> state_;
    std::unique_ptr<State> peakRun_; // true peak of the current run of loud chunks
    std::vector<float> previousChunk_;
    float loudestSample_ = 0.0f;
    double truePeak_ = 0.0;
    int channels_ = 0;
    int rate_ = 0;
    bool failed_ = false;
};

// Decodes the file and measures it; nothing with *error set when it cannot.
std::optional<Loudness> measureLoudness(const QString& path, QString* error,
                                        const std::atomic<bool>* cancel = nullptr);

} // namespace dictora
