// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/loudness_levelling.h"
#include "platform/media/decoded_audio.h"

#include <memory>
#include <optional>

namespace dictora {

// Measures EBU R128 integrated loudness and true peak with libebur128 over
// the blocks it is given. All blocks must share one rate and channel count
// (a change restarts nothing: later blocks of another format are skipped).
class LoudnessMeter {
public:
    LoudnessMeter();
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    void add(const AudioBlock& block);
    // Nothing before the first block, or when libebur128 failed.
    std::optional<Loudness> result() const;

private:
    // libebur128's state, an anonymous struct that cannot be declared here.
    struct State;
    std::unique_ptr<State> state_;
    int channels_ = 0;
    int rate_ = 0;
    bool failed_ = false;
};

// Decodes the file and measures it; nothing with *error set when it cannot.
std::optional<Loudness> measureLoudness(const QString& path, QString* error,
                                        const std::atomic<bool>* cancel = nullptr);

} // namespace dictora
