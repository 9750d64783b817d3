// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/audio_block_relay.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace dictora {
namespace {

struct Seen {
    qint64 firstFrame;
    qint64 frames;
    int channels;
    int rate;
    std::vector<float> samples;
};

TEST(AudioBlockRelay, BatchesKeepOrderFormatAndUnbrokenStretches)
{
    std::vector<Seen> seen;
    std::vector<float> ramp(2 * 1000);
    std::iota(ramp.begin(), ramp.end(), 0.0f);
    {
        AudioBlockRelay relay([&](const AudioBlock& block) {
            seen.push_back({block.firstFrame, block.frames, block.channels, block.rate,
                            std::vector<float>(block.samples,
                                               block.samples + block.frames * block.channels)});
        });
        auto add = [&](qint64 first, qint64 frames, int channels, int rate, qint64 from) {
            AudioBlock block;
            block.samples = ramp.data() + from;
            block.firstFrame = first;
            block.frames = frames;
            block.channels = channels;
            block.rate = rate;
            relay.add(block);
        };
        // A second at 400 Hz stereo in three blocks fills one batch.
        add(0, 150, 2, 400, 0);
        add(150, 150, 2, 400, 300);
        add(300, 100, 2, 400, 600);
        // Less than a second, then a jump: the stretch before is handed on alone.
        add(400, 50, 2, 400, 800);
        add(1000, 50, 2, 400, 900);
        // Another format starts a batch of its own.
        add(1050, 100, 1, 400, 1000);
        relay.finish();
        ASSERT_EQ(seen.size(), 4u);
    }
    // The relay's end hands on nothing more.
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].firstFrame, 0);
    EXPECT_EQ(seen[0].frames, 400);
    EXPECT_EQ(seen[0].samples, std::vector<float>(ramp.begin(), ramp.begin() + 800));
    EXPECT_EQ(seen[1].firstFrame, 400);
    EXPECT_EQ(seen[1].frames, 50);
    EXPECT_EQ(seen[2].firstFrame, 1000);
    EXPECT_EQ(seen[2].frames, 50);
    EXPECT_EQ(seen[2].samples.front(), 900.0f);
    EXPECT_EQ(seen[3].channels, 1);
    EXPECT_EQ(seen[3].frames, 100);
    EXPECT_EQ(seen[3].samples.back(), 1099.0f);
}

} // namespace
} // namespace dictora
