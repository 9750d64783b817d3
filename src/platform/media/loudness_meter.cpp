// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/loudness_meter.h"

#include <ebur128.h>

#include <cmath>

namespace dictora {

struct LoudnessMeter::State {
    ebur128_state* meter = nullptr;
    ~State()
    {
        if (meter)
            ebur128_destroy(&meter);
    }
};

namespace {

constexpr int kChunkMs = 10;

} // namespace

LoudnessMeter::LoudnessMeter() = default;

LoudnessMeter::~LoudnessMeter() = default;

void LoudnessMeter::add(const AudioBlock& block)
{
    if (failed_ || block.frames <= 0)
        return;
    if (!state_) {
        state_ = std::make_unique<State>();
        state_->meter = ebur128_init(unsigned(block.channels), unsigned(block.rate),
                                     EBUR128_MODE_I | EBUR128_MODE_HISTOGRAM);
        if (!state_->meter) {
            failed_ = true;
            return;
        }
        channels_ = block.channels;
        rate_ = block.rate;
    }
    if (block.channels != channels_ || block.rate != rate_)
        return;
    if (ebur128_add_frames_float(state_->meter, block.samples, size_t(block.frames)) != EBUR128_SUCCESS) {
        failed_ = true;
        return;
    }
    const qint64 chunk = std::max<qint64>(qint64(rate_) * kChunkMs / 1000, 1);
    for (qint64 f = 0; f < block.frames && !failed_; f += chunk)
        addChunk(block.samples + f * channels_, std::min(chunk, block.frames - f));
}

void LoudnessMeter::addChunk(const float* samples, qint64 frames)
{
    const qint64 count = frames * channels_;
    float top = 0.0f;
    for (qint64 i = 0; i < count; ++i)
        top = std::max(top, std::fabs(samples[i]));
    loudestSample_ = std::max(loudestSample_, top);
    const float threshold = loudestSample_ * float(std::pow(10.0, -kTruePeakSearchDb / 20.0));
    if (top > 0.0f && top >= threshold) {
        if (!peakRun_) {
            peakRun_ = std::make_unique<State>();
            peakRun_->meter =
                ebur128_init(unsigned(channels_), unsigned(rate_), EBUR128_MODE_TRUE_PEAK);
            if (!peakRun_->meter) {
                failed_ = true;
                return;
            }
            // The quieter chunk before leads in, so the run does not start
            // with a step out of silence.
            if (!previousChunk_.empty())
                ebur128_add_frames_float(peakRun_->meter, previousChunk_.data(),
                                         previousChunk_.size() / size_t(channels_));
        }
        if (ebur128_add_frames_float(peakRun_->meter, samples, size_t(frames)) != EBUR128_SUCCESS)
            failed_ = true;
    } else {
        endPeakRun();
    }
    previousChunk_.assign(samples, samples + count);
}

void LoudnessMeter::endPeakRun()
{
    if (!peakRun_)
        return;
    for (int c = 0; c < channels_; ++c) {
        double channelPeak = 0.0;
        if (ebur128_true_peak(peakRun_->meter, unsigned(c), &channelPeak) == EBUR128_SUCCESS)
            truePeak_ = std::max(truePeak_, channelPeak);
    }
    peakRun_.reset();
}

std::optional<Loudness> LoudnessMeter::result()
{
    return combined({this});
}

std::optional<Loudness> LoudnessMeter::combined(const std::vector<LoudnessMeter*>& parts)
{
    std::vector<ebur128_state*> states;
    Loudness measured;
    double peak = 0.0;
    for (LoudnessMeter* part : parts) {
        // A part too short to hold any sound adds nothing.
        if (!part->state_ && !part->failed_)
            continue;
        if (part->failed_ || !part->state_->meter)
            return std::nullopt;
        states.push_back(part->state_->meter);
        // The run under way at the end of the part counts too.
        part->endPeakRun();
        peak = std::max(peak, part->truePeak_);
    }
    if (states.empty() ||
        ebur128_loudness_global_multiple(states.data(), states.size(), &measured.integratedLufs) !=
            EBUR128_SUCCESS)
        return std::nullopt;
    measured.truePeakDbtp = 20.0 * std::log10(peak);
    return measured;
}

std::optional<Loudness> measureLoudness(const QString& path, QString* error,
                                        const std::atomic<bool>* cancel)
{
    LoudnessMeter parts[kDecodeParts];
    if (!decodeAudioInParts(
            path, kDecodeParts, [&](int part, const AudioBlock& block) { parts[part].add(block); },
            error, cancel))
        return std::nullopt;
    std::vector<LoudnessMeter*> meters;
    for (LoudnessMeter& part : parts)
        meters.push_back(&part);
    const std::optional<Loudness> measured = LoudnessMeter::combined(meters);
    if (!measured && error)
        *error = QStringLiteral("the loudness of %1 could not be measured").arg(path);
    return measured;
}

} // namespace dictora
