// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/media/decoded_audio.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace dictora {

// Hands decoded blocks to a consumer on a thread of its own, so a costly
// consumer (a loudness meter) works while the decoder goes on. Blocks are
// gathered into batches of about a second first: handing over each block of
// a compressed file (some 26 ms) would cost more than it saves.
class AudioBlockRelay {
public:
    explicit AudioBlockRelay(std::function<void(const AudioBlock&)> consume);
    // Hands over what is left and waits for the consumer to finish it.
    ~AudioBlockRelay();
    AudioBlockRelay(const AudioBlockRelay&) = delete;
    AudioBlockRelay& operator=(const AudioBlockRelay&) = delete;

    // Called on the decoding thread; waits while two batches are pending.
    void add(const AudioBlock& block);
    // Hands over what is gathered and waits until the consumer has used all.
    void finish();

private:
    struct Batch {
        std::vector<float> samples;
        int channels = 0;
        int rate = 0;
        qint64 firstFrame = 0;
        qint64 frames() const { return channels > 0 ? qint64(samples.size()) / channels : 0; }
    };
    static constexpr size_t kMaxPending = 2;

    void pass();
    void work();

    std::function<void(const AudioBlock&)> consume_;
    Batch gathering_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> pending_;
    bool busy_ = false;
    bool ending_ = false;
    std::thread worker_;
};

} // namespace dictora
