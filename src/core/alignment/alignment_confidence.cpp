// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/alignment_confidence.h"

#include <algorithm>
#include <cmath>

namespace dictora {

namespace {

// 1 inside [low, high], falling linearly in log to 0 at [zeroLow, zeroHigh].
double logPlateau(double value, double zeroLow, double low, double high, double zeroHigh)
{
    if (value <= 0)
        return 0;
    const double v = std::log(value);
    if (v < std::log(low))
        return std::clamp((v - std::log(zeroLow)) / (std::log(low) - std::log(zeroLow)), 0.0, 1.0);
    if (v > std::log(high))
        return std::clamp((std::log(zeroHigh) - v) / (std::log(zeroHigh) - std::log(high)), 0.0,
                          1.0);
    return 1;
}

} // namespace

float sentenceConfidence(const SentenceEvidence& evidence)
{
    double match = 1;
    if (evidence.typicalCost > 0)
        match = std::clamp(2.0 - double(evidence.matchCost) / evidence.typicalCost, 0.0, 1.0);
    const double length = logPlateau(evidence.lengthRatio, 0.35, 0.6, 2.5, 4.5);
    const double moved = std::clamp(1.0 - 0.4 * (evidence.moved - 50) / 250.0, 0.6, 1.0);
    return float(match * length * moved);
}

} // namespace dictora
