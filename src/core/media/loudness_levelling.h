// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace dictora {

// A media file's loudness as EBU R128 measures it.
struct Loudness {
    double integratedLufs = 0; // gated integrated loudness
    double truePeakDbtp = 0;   // highest true peak of any channel
    // False when the true peak was looked for only where it could limit
    // the levelling gain: then truePeakDbtp may lie below the file's own
    // (down to its loudest sample), but never where it limits the gain.
    bool truePeakComplete = true;
};

// Every file is brought to this loudness...
inline constexpr double kTargetLufs = -20.0;
// ...unless that would push its true peak above this ceiling.
inline constexpr double kTruePeakCeilingDbtp = -1.0;
// Quieter files are not raised further than this (a near-silent file would
// otherwise turn its noise up to speech level).
inline constexpr double kMaxBoostDb = 20.0;
// Below this the file is silence; it is played as it is.
inline constexpr double kSilenceLufs = -70.0;

// What an EBU R128 measurement can give, for figures read back from a cache:
// the loudness is -inf when no block passed the absolute gate (silence), else
// between the gate and kLoudestMeasurableLufs; the true peak lies at or below
// kHighestMeasurableTruePeakDbtp, and under sound that passed the gate no
// lower than kMaxLoudnessOverPeakDb beneath the loudness (a block cannot be
// much louder than its peak: K-weighting adds at most 4 dB and five weighted
// channels 7.7 dB).
inline constexpr double kLoudestMeasurableLufs = 5.0;
inline constexpr double kHighestMeasurableTruePeakDbtp = 20.0;
inline constexpr double kMaxLoudnessOverPeakDb = 12.0;

// Whether these figures could have come from a measurement. Figures that
// could not (a damaged or edited cache) would play a file silent or clipped,
// so such a file is measured again.
bool couldBeMeasured(const Loudness& loudness);

// The gain, in dB, that levels a file: the target minus its loudness, lowered
// so that its true peak stays at or below the ceiling and limited to
// kMaxBoostDb. Without a measurement the gain is 0 dB; a silent file is not
// raised, but one whose peak already lies above the ceiling is lowered to it.
double levellingGainDb(std::optional<Loudness> measured);

// The linear factor of a gain in dB.
double gainFactor(double gainDb);

} // namespace dictora
