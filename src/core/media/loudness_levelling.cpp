// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/loudness_levelling.h"

#include <algorithm>
#include <cmath>

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

double gainFactor(double gainDb)
{
    return std::pow(10.0, gainDb / 20.0);
}

} // namespace dictora
