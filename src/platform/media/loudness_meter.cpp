// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/loudness_meter.h"

#include "platform/media/audio_block_relay.h"

#include <ebur128.h>

#include <algorithm>
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

float linear(double db)
{
    return float(std::pow(10.0, db / 20.0));
}

// The share of the loudest sample that a chunk's peak must reach to be
// measured for its true peak.
const float kSearchFactor = linear(-LoudnessMeter::kTruePeakSearchDb);

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
    const qint64 edge = kEdgeFrames * channels_;
    // The candidate before gets its lead-out from this chunk.
    if (!candidates_.empty() && !candidates_.back().complete) {
        Candidate& last = candidates_.back();
        const qint64 taken = std::min(edge, count);
        last.samples.insert(last.samples.end(), samples, samples + taken);
        candidateSamples_ += taken;
        last.complete = true;
    }

    float top = 0.0f;
    for (qint64 i = 0; i < count; ++i)
        top = std::max(top, std::fabs(samples[i]));
    if (top > loudestSample_) {
        loudestSample_ = top;
        threshold_ = top * kSearchFactor;
        dropCandidatesBelow(threshold_);
    }
    if (top > 0.0f && top >= threshold_) {
        Candidate candidate;
        candidate.samples.reserve(lastFrames_.size() + size_t(count + edge));
        candidate.samples = lastFrames_;
        candidate.samples.insert(candidate.samples.end(), samples, samples + count);
        candidate.leadInFrames = qint64(lastFrames_.size()) / channels_;
        candidate.samplePeak = top;
        candidateSamples_ += qint64(candidate.samples.size());
        candidates_.push_back(std::move(candidate));
    }
    // Too many waiting: the oldest are measured now, against the loudest so far.
    while (candidateSamples_ > kPendingSamples && candidates_.front().complete && !failed_) {
        measureTruePeak(candidates_.front());
        candidateSamples_ -= qint64(candidates_.front().samples.size());
        candidates_.pop_front();
    }

    if (count >= edge) {
        lastFrames_.assign(samples + count - edge, samples + count);
    } else {
        lastFrames_.insert(lastFrames_.end(), samples, samples + count);
        if (qint64(lastFrames_.size()) > edge)
            lastFrames_.erase(lastFrames_.begin(), lastFrames_.end() - edge);
    }
}

void LoudnessMeter::dropCandidatesBelow(float threshold)
{
    const auto kept = std::remove_if(candidates_.begin(), candidates_.end(), [&](const Candidate& c) {
        if (c.samplePeak >= threshold)
            return false;
        candidateSamples_ -= qint64(c.samples.size());
        return true;
    });
    candidates_.erase(kept, candidates_.end());
}

void LoudnessMeter::measureTruePeak(const Candidate& candidate)
{
    truePeak_ = std::max(truePeak_, double(candidate.samplePeak));
    if (!peakMeter_) {
        peakMeter_ = std::make_unique<State>();
        peakMeter_->meter = ebur128_init(unsigned(channels_), unsigned(rate_), EBUR128_MODE_TRUE_PEAK);
        if (!peakMeter_->meter) {
            failed_ = true;
            return;
        }
    }
    // The lead-in fills the filter with the sound before the chunk (silence
    // at the start of the sound, as where the file begins); only the peak of
    // the chunk and its lead-out is read.
    const std::vector<float> silence(size_t(kEdgeFrames * channels_), 0.0f);
    const bool leadIn = candidate.leadInFrames > 0;
    const qint64 restFrames = qint64(candidate.samples.size()) / channels_ - candidate.leadInFrames;
    if (ebur128_add_frames_float(peakMeter_->meter, leadIn ? candidate.samples.data() : silence.data(),
                                 size_t(leadIn ? candidate.leadInFrames : kEdgeFrames)) !=
            EBUR128_SUCCESS ||
        ebur128_add_frames_float(peakMeter_->meter,
                                 candidate.samples.data() + candidate.leadInFrames * channels_,
                                 size_t(restFrames)) != EBUR128_SUCCESS) {
        failed_ = true;
        return;
    }
    for (int c = 0; c < channels_; ++c) {
        double channelPeak = 0.0;
        if (ebur128_prev_true_peak(peakMeter_->meter, unsigned(c), &channelPeak) == EBUR128_SUCCESS)
            truePeak_ = std::max(truePeak_, channelPeak);
    }
}

bool LoudnessMeter::measureCandidates(float threshold, float searched)
{
    bool all = true;
    for (const Candidate& candidate : candidates_) {
        if (failed_)
            break;
        if (candidate.samplePeak >= threshold)
            measureTruePeak(candidate);
        else
            all = all && candidate.samplePeak < searched;
    }
    candidates_.clear();
    candidateSamples_ = 0;
    return all;
}

std::optional<Loudness> LoudnessMeter::result(TruePeakScope scope)
{
    return combined({this}, scope);
}

std::optional<Loudness> LoudnessMeter::combined(const std::vector<LoudnessMeter*>& parts,
                                                TruePeakScope scope)
{
    std::vector<ebur128_state*> states;
    float loudest = 0.0f;
    for (LoudnessMeter* part : parts) {
        // A part too short to hold any sound adds nothing.
        if (!part->state_ && !part->failed_)
            continue;
        if (part->failed_ || !part->state_->meter)
            return std::nullopt;
        states.push_back(part->state_->meter);
        loudest = std::max(loudest, part->loudestSample_);
    }
    Loudness measured;
    if (states.empty() ||
        ebur128_loudness_global_multiple(states.data(), states.size(), &measured.integratedLufs) !=
            EBUR128_SUCCESS)
        return std::nullopt;

    // The candidates of every part are judged against the loudest sample of
    // the whole file, and for levelling against the level at which a true
    // peak would meet the ceiling after the gain the loudness asks for.
    const float searched = loudest * kSearchFactor;
    float threshold = searched;
    if (scope == TruePeakScope::WhereItLimits) {
        const double freeGain = levellingGainDb(Loudness{measured.integratedLufs, -1000.0});
        threshold = std::max(threshold, linear(kTruePeakCeilingDbtp - freeGain - kTruePeakSearchDb));
    }
    double peak = loudest;
    for (LoudnessMeter* part : parts) {
        if (!part->state_)
            continue;
        if (!part->measureCandidates(threshold, searched))
            measured.truePeakComplete = false;
        if (part->failed_)
            return std::nullopt;
        peak = std::max(peak, part->truePeak_);
    }
    measured.truePeakDbtp = 20.0 * std::log10(peak);
    return measured;
}

std::optional<Loudness> measureLoudness(const QString& path, QString* error,
                                        const std::atomic<bool>* cancel, TruePeakScope scope)
{
    LoudnessMeter parts[kDecodeParts];
    bool decoded = false;
    {
        // Each part is measured on a thread of its own while it is decoded.
        std::vector<std::unique_ptr<AudioBlockRelay>> relays;
        for (LoudnessMeter& part : parts)
            relays.push_back(std::make_unique<AudioBlockRelay>(
                [&part](const AudioBlock& block) { part.add(block); }));
        decoded = decodeAudioInParts(
            path, kDecodeParts,
            [&](int part, const AudioBlock& block) { relays[size_t(part)]->add(block); }, error,
            cancel);
    }
    if (!decoded)
        return std::nullopt;
    std::vector<LoudnessMeter*> meters;
    for (LoudnessMeter& part : parts)
        meters.push_back(&part);
    const std::optional<Loudness> measured = LoudnessMeter::combined(meters, scope);
    if (!measured && error)
        *error = QStringLiteral("the loudness of %1 could not be measured").arg(path);
    return measured;
}

} // namespace dictora
