// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/loudness_levelling.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dictora {

double levellingGainDb(std::optional<Loudness> measured)
{
    if (!measured || !std::isfinite(measured->truePeakDbtp))
        return 0.0;
    double gain = 0.0;
    if (std::isfinite(measured->integratedLufs) && measured->integratedLufs > kSilenceLufs)
        gain = std::min(kTargetLufs - measured->integratedLufs, kMaxBoostDb);
    return std::min(gain, kTruePeakCeilingDbtp - measured->truePeakDbtp);
}

bool couldBeMeasured(const Loudness& loudness)
{
    const double lufs = loudness.integratedLufs;
    const double peak = loudness.truePeakDbtp;
    if (std::isnan(lufs) || std::isnan(peak) || peak > kHighestMeasurableTruePeakDbtp)
        return false;
    if (lufs == -std::numeric_limits<double>::infinity())
        return true;
    return lufs >= kSilenceLufs && lufs <= kLoudestMeasurableLufs &&
           peak >= lufs - kMaxLoudnessOverPeakDb;
}

double gainFactor(double gainDb)
{
    return std::pow(10.0, gainDb / 20.0);
}

} // namespace dictora
