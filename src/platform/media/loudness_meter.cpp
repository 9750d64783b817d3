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

LoudnessMeter::LoudnessMeter() = default;

LoudnessMeter::~LoudnessMeter() = default;

void LoudnessMeter::add(const AudioBlock& block)
{
    if (failed_ || block.frames <= 0)
        return;
    if (!state_) {
        state_ = std::make_unique<State>();
        state_->meter = ebur128_init(unsigned(block.channels), unsigned(block.rate),
                                     EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
        if (!state_->meter) {
            failed_ = true;
            return;
        }
        channels_ = block.channels;
        rate_ = block.rate;
    }
    if (block.channels != channels_ || block.rate != rate_)
        return;
    if (ebur128_add_frames_float(state_->meter, block.samples, size_t(block.frames)) != EBUR128_SUCCESS)
        failed_ = true;
}

std::optional<Loudness> LoudnessMeter::result() const
{
    if (!state_ || failed_)
        return std::nullopt;
    Loudness measured;
    if (ebur128_loudness_global(state_->meter, &measured.integratedLufs) != EBUR128_SUCCESS)
        return std::nullopt;
    double peak = 0.0;
    for (int c = 0; c < channels_; ++c) {
        double channelPeak = 0.0;
        if (ebur128_true_peak(state_->meter, unsigned(c), &channelPeak) != EBUR128_SUCCESS)
            return std::nullopt;
        peak = std::max(peak, channelPeak);
    }
    // Silence: -inf dBTP, which levelling reads as "leave it".
    measured.truePeakDbtp = 20.0 * std::log10(peak);
    return measured;
}

std::optional<Loudness> measureLoudness(const QString& path, QString* error,
                                        const std::atomic<bool>* cancel)
{
    LoudnessMeter meter;
    if (!decodeAudio(path, [&](const AudioBlock& block) { meter.add(block); }, error, cancel))
        return std::nullopt;
    const std::optional<Loudness> measured = meter.result();
    if (!measured && error)
        *error = QStringLiteral("the loudness of %1 could not be measured").arg(path);
    return measured;
}

} // namespace dictora
