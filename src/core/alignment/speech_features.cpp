// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/speech_features.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dictora {

namespace {

constexpr int kFilterCount = 24;
constexpr float kLowHz = 100.0f;
constexpr float kHighHz = 7000.0f;
constexpr float kPreEmphasis = 0.97f;
// The edge level's high-pass: below a voice's lowest pitch and nasal
// murmur (which a stronger one, such as the pre-emphasis, took away from
// the ends of "nine" and "home" under noise), above offsets and rumble.
constexpr double kEdgeHighPassHz = 100.0;
// Where the band level starts: above the lowest voices' pitch, below the
// first formant of every vowel and nasal.
constexpr double kBandLowHz = 200.0;
// Every frame is measured as if a faint hiss (4 steps of 16-bit RMS) lay
// under it: digital silence then looks like a quiet room, in a recording as
// in the synthetic speech, instead of an endless minus.
constexpr double kFloorPower = 16.0;

float hzToMel(float hz)
{
    return 2595.0f * std::log10(1.0f + hz / 700.0f);
}

float melToHz(float mel)
{
    return 700.0f * (std::pow(10.0f, mel / 2595.0f) - 1.0f);
}

} // namespace

void FeatureTrack::reserve(int frames)
{
    values.reserve(size_t(frames) * kFeatureSize);
    energyDb.reserve(size_t(frames));
    edgeDb.reserve(size_t(frames));
    hissDb.reserve(size_t(frames));
    bandDb.reserve(size_t(frames));
}

std::vector<float> FeatureTrack::pauseLevels() const
{
    if (bandDb.size() != energyDb.size() || hissDb.size() != energyDb.size())
        return speechLevels();
    std::vector<float> levels = bandDb;
    for (size_t k = 0; k < levels.size(); ++k)
        levels[k] = std::max(levels[k], hissDb[k]);
    return levels;
}

std::vector<float> FeatureTrack::speechLevels() const
{
    std::vector<float> levels = edgeLevels();
    if (hissDb.size() == levels.size())
        for (size_t k = 0; k < levels.size(); ++k)
            levels[k] = std::max(levels[k], hissDb[k]);
    return levels;
}

void FeatureTrack::normalise()
{
    const int frames = frameCount();
    if (frames == 0)
        return;
    for (int d = 0; d < kFeatureSize; ++d) {
        double sum = 0, squares = 0;
        for (int i = 0; i < frames; ++i) {
            const double v = values[size_t(i) * kFeatureSize + d];
            sum += v;
            squares += v * v;
        }
        const double mean = sum / frames;
        const double deviation = std::sqrt(std::max(squares / frames - mean * mean, 1e-12));
        for (int i = 0; i < frames; ++i) {
            float& v = values[size_t(i) * kFeatureSize + d];
            v = float((v - mean) / deviation);
        }
    }
}

FeatureExtractor::FeatureExtractor(int sampleRate)
{
    hop_ = std::max(1, (sampleRate + 50) / 100);
    window_ = std::max(2, sampleRate * 25 / 1000);
    highPassPole_ = std::exp(-2.0 * std::numbers::pi * kEdgeHighPassHz / std::max(sampleRate, 1));
    fftSize_ = 1;
    while (fftSize_ < window_)
        fftSize_ *= 2;

    hamming_.resize(size_t(window_));
    for (int i = 0; i < window_; ++i)
        hamming_[size_t(i)] =
            float(0.54 - 0.46 * std::cos(2 * std::numbers::pi * i / (window_ - 1)));

    int bits = 0;
    while ((1 << bits) < fftSize_)
        ++bits;
    bitReverse_.resize(size_t(fftSize_));
    for (int i = 0; i < fftSize_; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((i >> b) & 1) << (bits - 1 - b);
        bitReverse_[size_t(i)] = r;
    }
    twiddles_.resize(size_t(fftSize_ / 2));
    for (int i = 0; i < fftSize_ / 2; ++i)
        twiddles_[size_t(i)] = std::polar(1.0f, float(-2 * std::numbers::pi * i / fftSize_));
    spectrum_.resize(size_t(fftSize_));

    double windowPower = 0;
    for (const float w : hamming_)
        windowPower += double(w) * w;
    // The band level: the power of the bins from kBandLowHz, the
    // pre-emphasis undone, as the mean square of the signal (both halves of
    // the spectrum, the window's power taken out).
    bandFirstBin_ = std::clamp(int(std::ceil(kBandLowHz * fftSize_ / std::max(sampleRate, 1))), 1,
                               fftSize_ / 2);
    for (int bin = bandFirstBin_; bin <= fftSize_ / 2; ++bin) {
        const double w = 2 * std::numbers::pi * bin / fftSize_;
        const double emphasis = 1 + kPreEmphasis * kPreEmphasis - 2 * kPreEmphasis * std::cos(w);
        bandWeights_.push_back(float(2.0 / (emphasis * fftSize_ * windowPower)));
    }
    // Filters evenly spaced on the mel scale, weights on the FFT bins.
    const float high = std::min(kHighHz, sampleRate * 0.5f * 0.95f);
    const float lowMel = hzToMel(kLowHz), highMel = hzToMel(high);
    std::vector<float> edges(kFilterCount + 2);
    for (int i = 0; i < kFilterCount + 2; ++i)
        edges[size_t(i)] =
            melToHz(lowMel + (highMel - lowMel) * i / (kFilterCount + 1)) * fftSize_ / sampleRate;
    for (int f = 0; f < kFilterCount; ++f) {
        const float left = edges[size_t(f)], centre = edges[size_t(f) + 1],
                    right = edges[size_t(f) + 2];
        const int first = int(std::ceil(left));
        const int last = std::min(int(std::floor(right)), fftSize_ / 2);
        std::vector<float> weights;
        for (int bin = first; bin <= last; ++bin) {
            const float w = bin <= centre ? (bin - left) / std::max(centre - left, 1e-6f)
                                          : (right - bin) / std::max(right - centre, 1e-6f);
            weights.push_back(std::max(w, 0.0f));
        }
        if (weights.empty()) {
            weights.push_back(1.0f);
        }
        filterStart_.push_back(std::min(first, fftSize_ / 2));
        double weightSum = 0;
        for (const float w : weights)
            weightSum += w;
        filterFloor_.push_back(float(kFloorPower * windowPower * weightSum));
        filterWeights_.push_back(std::move(weights));
    }
    dct_.resize(size_t(kFeatureSize) * kFilterCount);
    for (int c = 1; c <= kFeatureSize; ++c) {
        for (int f = 0; f < kFilterCount; ++f)
            dct_[size_t(c - 1) * kFilterCount + size_t(f)] =
                float(std::cos(std::numbers::pi * c * (f + 0.5) / kFilterCount));
    }
}

void FeatureExtractor::add(const int16_t* samples, int count)
{
    pending_.reserve(pending_.size() + size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        pending_.push_back(float(samples[i]));
    seen_ += std::max(count, 0);
    size_t offset = 0;
    while (pending_.size() - offset >= size_t(window_)) {
        computeFrame(pending_.data() + offset);
        offset += size_t(hop_);
    }
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(offset));
}

void FeatureExtractor::addSilence(int count)
{
    const std::vector<int16_t> quiet(size_t(std::max(count, 0)), 0);
    add(quiet.data(), int(quiet.size()));
}

FeatureTrack FeatureExtractor::takeTrack()
{
    FeatureTrack taken = std::move(track_);
    track_ = {};
    return taken;
}

void FeatureExtractor::computeFrame(const float* samples)
{
    double energy = 0, edge = 0, passed = 0, hiss = 0;
    for (int i = 0; i < window_; ++i) {
        energy += double(samples[i]) * samples[i];
        const double difference = i > 0 ? double(samples[i]) - samples[i - 1] : 0.0;
        hiss += difference * difference;
        // One-pole high-pass, started afresh in each frame: the difference
        // takes out any offset at once.
        passed = (samples[i] - (i > 0 ? samples[i - 1] : samples[0])) + highPassPole_ * passed;
        edge += passed * passed;
    }
    // 0 dB is a full-scale sine (mean square 32767² / 2).
    const auto decibels = [&](double sum) {
        return float(10.0 * std::log10((sum / window_ + kFloorPower) / (32767.0 * 32767.0 / 2)));
    };
    const float energyDb = decibels(energy);
    track_.edgeDb.push_back(decibels(edge));
    track_.hissDb.push_back(decibels(hiss));

    for (int i = 0; i < fftSize_; ++i) {
        const int source = bitReverse_[size_t(i)];
        float v = 0;
        if (source < window_) {
            const float previous = source > 0 ? samples[source - 1] : samples[0];
            v = (samples[source] - kPreEmphasis * previous) * hamming_[size_t(source)];
        }
        spectrum_[size_t(i)] = {v, 0.0f};
    }
    for (int length = 2; length <= fftSize_; length *= 2) {
        const int half = length / 2;
        const int stride = fftSize_ / length;
        for (int start = 0; start < fftSize_; start += length) {
            for (int k = 0; k < half; ++k) {
                const std::complex<float> t =
                    twiddles_[size_t(k * stride)] * spectrum_[size_t(start + k + half)];
                spectrum_[size_t(start + k + half)] = spectrum_[size_t(start + k)] - t;
                spectrum_[size_t(start + k)] += t;
            }
        }
    }
    double band = 0;
    for (size_t b = 0; b < bandWeights_.size(); ++b)
        band += bandWeights_[b] * std::norm(spectrum_[size_t(bandFirstBin_) + b]);
    track_.bandDb.push_back(decibels(band * window_));
    float logMel[kFilterCount];
    for (int f = 0; f < kFilterCount; ++f) {
        const std::vector<float>& weights = filterWeights_[size_t(f)];
        double sum = 0;
        for (size_t w = 0; w < weights.size(); ++w)
            sum += weights[w] * std::norm(spectrum_[size_t(filterStart_[size_t(f)]) + w]);
        logMel[f] = float(std::log(sum + filterFloor_[size_t(f)]));
    }
    track_.energyDb.push_back(energyDb);
    for (int c = 1; c <= kFeatureSize; ++c) {
        const float* row = dct_.data() + size_t(c - 1) * kFilterCount;
        float sum = 0;
        for (int f = 0; f < kFilterCount; ++f)
            sum += row[f] * logMel[f];
        track_.values.push_back(sum);
    }
}

} // namespace dictora
