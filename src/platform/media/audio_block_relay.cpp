// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/audio_block_relay.h"

namespace dictora {

AudioBlockRelay::AudioBlockRelay(std::function<void(const AudioBlock&)> consume)
    : consume_(std::move(consume)), worker_([this] { work(); })
{
}

AudioBlockRelay::~AudioBlockRelay()
{
    finish();
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void AudioBlockRelay::add(const AudioBlock& block)
{
    // A batch holds one format and one unbroken stretch.
    if (!gathering_.samples.empty() &&
        (block.channels != gathering_.channels || block.rate != gathering_.rate ||
         block.firstFrame != gathering_.firstFrame + gathering_.frames()))
        pass();
    if (gathering_.samples.empty()) {
        gathering_.channels = block.channels;
        gathering_.rate = block.rate;
        gathering_.firstFrame = block.firstFrame;
        gathering_.samples.reserve(size_t(block.rate) * size_t(block.channels) * 11 / 10);
    }
    gathering_.samples.insert(gathering_.samples.end(), block.samples,
                              block.samples + block.frames * block.channels);
    if (gathering_.frames() >= block.rate)
        pass();
}

void AudioBlockRelay::pass()
{
    if (gathering_.samples.empty())
        return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return pending_.size() < kMaxPending; });
    pending_.push_back(std::move(gathering_));
    gathering_ = Batch{};
    lock.unlock();
    changed_.notify_all();
}

void AudioBlockRelay::finish()
{
    pass();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return pending_.empty() && !busy_; });
}

void AudioBlockRelay::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return ending_ || !pending_.empty(); });
        if (pending_.empty())
            return;
        Batch batch = std::move(pending_.front());
        pending_.pop_front();
        busy_ = true;
        lock.unlock();
        changed_.notify_all();
        AudioBlock block;
        block.samples = batch.samples.data();
        block.frames = batch.frames();
        block.channels = batch.channels;
        block.rate = batch.rate;
        block.firstFrame = batch.firstFrame;
        consume_(block);
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

} // namespace dictora
