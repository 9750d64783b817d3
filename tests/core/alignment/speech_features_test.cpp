// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/speech_features.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

using namespace dictora;

namespace {

// Half a second of a sound at 16 kHz, its median energy and edge level.
struct Levels {
    float energyDb;
    float edgeDb;
};

Levels levelsOf(const std::vector<int16_t>& samples)
{
    FeatureExtractor extractor(16000);
    extractor.add(samples.data(), int(samples.size()));
    FeatureTrack track = extractor.takeTrack();
    EXPECT_EQ(track.edgeDb.size(), track.energyDb.size());
    const size_t middle = track.energyDb.size() / 2;
    return {track.energyDb[middle], track.edgeDb[middle]};
}

std::vector<int16_t> sound(double offset, double amplitude, double hz, bool noise)
{
    std::mt19937 random(5);
    std::normal_distribution<double> gauss(0.0, amplitude);
    std::vector<int16_t> samples(8000);
    for (size_t i = 0; i < samples.size(); ++i) {
        const double v = noise ? gauss(random)
                               : amplitude * std::sin(2 * std::numbers::pi * hz * double(i) / 16000);
        samples[i] = int16_t(std::lround(offset + v));
    }
    return samples;
}

} // namespace

TEST(SpeechFeatures, EdgeLevelIgnoresOffsetAndRumbleButKeepsHiss)
{
    struct Case {
        const char* name;
        std::vector<int16_t> samples;
        float edgeBelowEnergyAtLeast; // dB
        float edgeBelowEnergyAtMost;
    };
    const std::vector<Case> cases = {
        // A DC offset of 230, as in many home-made recordings: loud in
        // energy, next to nothing at the edge.
        {"offset", sound(230, 0, 0, false), 25, 200},
        {"50 Hz hum", sound(0, 300, 50, false), 25, 200},
        {"vowel-like 300 Hz", sound(0, 3000, 300, false), 10, 25},
        // Hiss, as in "s" or "h": the edge level stays near the energy.
        {"white noise", sound(0, 300, 0, true), -4, 4},
        {"4 kHz", sound(0, 300, 4000, false), -6, 0},
    };
    for (const Case& c : cases) {
        const Levels levels = levelsOf(c.samples);
        const float drop = levels.energyDb - levels.edgeDb;
        EXPECT_GE(drop, c.edgeBelowEnergyAtLeast) << c.name;
        EXPECT_LE(drop, c.edgeBelowEnergyAtMost) << c.name;
    }
}
