// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/speech_features.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <tuple>
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
        const double v = noise
                             ? gauss(random)
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
        {"15 Hz rumble", sound(0, 300, 15, false), 12, 200},
        {"50 Hz hum", sound(0, 300, 50, false), 5, 10},
        // Voice, a nasal's murmur and hiss ("s", "h") keep their level.
        {"120 Hz voice", sound(0, 3000, 120, false), 0, 4},
        {"300 Hz murmur", sound(0, 3000, 300, false), 0, 1.5f},
        {"white noise", sound(0, 300, 0, true), -2, 2},
        {"4 kHz", sound(0, 300, 4000, false), -2, 2},
    };
    for (const Case& c : cases) {
        const Levels levels = levelsOf(c.samples);
        const float drop = levels.energyDb - levels.edgeDb;
        EXPECT_GE(drop, c.edgeBelowEnergyAtLeast) << c.name;
        EXPECT_LE(drop, c.edgeBelowEnergyAtMost) << c.name;
    }
}

TEST(SpeechFeatures, HissLevelRaisesFricativesAndSpeechLevelsTakeTheHigher)
{
    struct Case {
        const char* name;
        std::vector<int16_t> samples;
        float hissAboveEdgeAtLeast; // dB
        float hissAboveEdgeAtMost;
    };
    const std::vector<Case> cases = {
        {"120 Hz voice", sound(0, 3000, 120, false), -200, -20},
        {"white noise", sound(0, 300, 0, true), 2, 6},
        {"6 kHz hiss", sound(0, 300, 6000, false), 4, 7},
    };
    for (const Case& c : cases) {
        FeatureExtractor extractor(16000);
        extractor.add(c.samples.data(), int(c.samples.size()));
        const FeatureTrack track = extractor.takeTrack();
        const size_t middle = track.energyDb.size() / 2;
        const float above = track.hissDb[middle] - track.edgeDb[middle];
        EXPECT_GE(above, c.hissAboveEdgeAtLeast) << c.name;
        EXPECT_LE(above, c.hissAboveEdgeAtMost) << c.name;
        EXPECT_EQ(track.speechLevels()[middle],
                  std::max(track.hissDb[middle], track.edgeDb[middle]))
            << c.name;
    }
}

TEST(SpeechFeatures, BandLevelDropsWhatLiesBelowAVoice)
{
    // dB the band level lies below the edge level, and how far off it may be.
    const std::tuple<const char*, std::vector<int16_t>, float, float> cases[] = {
        {"300 Hz murmur", sound(0, 3000, 300, false), 0, 1.5f},
        {"120 Hz thump", sound(0, 3000, 120, false), 45, 15},
    };
    for (const auto& [name, samples, drop, slack] : cases) {
        FeatureExtractor extractor(16000);
        extractor.add(samples.data(), int(samples.size()));
        const FeatureTrack track = extractor.takeTrack();
        const size_t middle = track.energyDb.size() / 2;
        EXPECT_NEAR(track.edgeDb[middle] - track.bandDb[middle], drop, slack) << name;
        EXPECT_EQ(track.pauseLevels()[middle], std::max(track.bandDb[middle], track.hissDb[middle]))
            << name;
    }
}
