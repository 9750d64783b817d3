// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>
#include <cstdint>
#include <vector>

namespace dictora {

// Features every 10 ms, as aligners have long compared speech: twelve
// mel-frequency cepstral coefficients (c1..c12), one row of kFeatureSize
// floats per frame, and the frame's energy beside them. The energy is left
// out of the comparison: a synthetic voice's loudness contour is flatter
// than a speaker's, and comparing it made boundaries in real speech worse
// (p95 443 -> 238 ms in the benchmark). Delta coefficients and a sliding
// (1.5-6 s) normalisation of the recording left the boundaries on real
// speech as they were (they follow the pauses and expected lengths) or,
// deltas at full weight, worse (Mandarin p95 271 -> 1602 ms), at twice the
// comparison cost; they are not used. Frame k covers the 25 ms from
// k * 10 ms.
inline constexpr int kFeatureSize = 12;
inline constexpr int kFrameMs = 10;

struct FeatureTrack {
    std::vector<float> values;   // frameCount() rows of kFeatureSize
    std::vector<float> energyDb; // per frame, dB below a full-scale 16-bit sine
    // Per frame, the same above 100 Hz (a one-pole high-pass), which pauses
    // are found on: a DC offset or a rumble far below 100 Hz, common in
    // home-made recordings, are as loud as a word's faint edges in energyDb
    // but all but vanish here, while voice, nasals and hiss keep their
    // level. Empty in tracks not made by FeatureExtractor; edgeLevels()
    // then gives energyDb.
    std::vector<float> edgeDb;
    // Per frame, the level of the first difference (6 dB more per octave):
    // a fricative's hiss, the faintest end of many words ("was", "praise"),
    // stands some 5 dB higher here than in edgeDb, a voice's low harmonics
    // 15 dB lower. Empty like edgeDb.
    std::vector<float> hissDb;
    // Per frame, the level of the spectrum from 200 Hz up: a voice's
    // harmonics, a nasal's murmur and every fricative are there, while the
    // thump of breath on a microphone, handling noise and the rumble of a
    // room lie below it and fall away, which the gentle slope of edgeDb's
    // high-pass keeps at half their level. Empty like edgeDb.
    std::vector<float> bandDb;

    const std::vector<float>& edgeLevels() const
    {
        return edgeDb.size() == energyDb.size() ? edgeDb : energyDb;
    }
    // The level pauses and speech edges are judged on: per frame the higher
    // of edgeLevels() and hissDb, so that both a nasal's murmur and a
    // fricative count as speech.
    std::vector<float> speechLevels() const;
    // Whether a frame is speech or pause is told on the higher of bandDb
    // and hissDb, against thresholds set on speechLevels(): in a pause the
    // band level lies below the broad one, so low sounds that are not
    // speech stay in the pause, while speech keeps its level in both.
    // speechLevels() where the track has no band level.
    std::vector<float> pauseLevels() const;

    int frameCount() const { return int(energyDb.size()); }
    const float* frame(int index) const { return values.data() + size_t(index) * kFeatureSize; }

    // Each coefficient to mean 0 and deviation 1 over the whole track, so
    // that a recording and a synthetic voice meet despite their different
    // loudness and timbre. energyDb is kept as measured.
    void normalise();
    void reserve(int frames);
};

// Turns 16-bit mono samples at any rate into a FeatureTrack, fed in pieces
// of any size. The mel filters span the same 100-7000 Hz at every rate, so
// tracks of different rates can be compared.
class FeatureExtractor {
public:
    explicit FeatureExtractor(int sampleRate);

    void add(const int16_t* samples, int count);
    // `count` samples of digital silence.
    void addSilence(int count);
    // Samples given so far; frame k starts at sample k * hop().
    int64_t samplesSeen() const { return seen_; }
    int hop() const { return hop_; }

    FeatureTrack& track() { return track_; }
    FeatureTrack takeTrack();

private:
    void computeFrame(const float* samples);

    int hop_ = 0;
    int window_ = 0;
    double highPassPole_ = 0;
    int fftSize_ = 0;
    int64_t seen_ = 0;
    std::vector<float> pending_;
    std::vector<float> hamming_;
    std::vector<std::complex<float>> twiddles_;
    std::vector<int> bitReverse_;
    std::vector<std::complex<float>> spectrum_;
    // Triangular mel filters: first bin and weights of each.
    std::vector<int> filterStart_;
    std::vector<std::vector<float>> filterWeights_;
    std::vector<float> filterFloor_; // the faint hiss's power in each filter
    std::vector<float> dct_;         // kFeatureSize rows of filter count
    int bandFirstBin_ = 1;
    std::vector<float> bandWeights_; // per bin from bandFirstBin_
    FeatureTrack track_;
};

} // namespace dictora
