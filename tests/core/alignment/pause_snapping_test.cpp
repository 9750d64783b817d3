// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/pause_snapping.h"

#include <gtest/gtest.h>

#include <string>

using namespace dictora;

namespace {

// Energies from a picture: '_' a quiet frame (-60 dB), '#' speech (-20 dB).
std::vector<float> energies(const char* picture)
{
    std::vector<float> values;
    for (const char* c = picture; *c; ++c)
        values.push_back(*c == '_' ? -60.0f : -20.0f);
    return values;
}

struct SnapCase {
    const char* name;
    const char* picture;
    int frame;
    int start; // snapStartToPause
    int end;   // snapEndToPause
};

TEST(PauseSnapping, BoundariesMoveToTheNearestPauseWithin150Ms)
{
    // 40 frames of speech, a pause of 10 (frames 40..49), speech again.
    const char* pause = "########################################__________"
                        "########################################";
    const SnapCase cases[] = {
        {"inside the pause", pause, 44, 50, 40},
        {"late, in the next speech", pause, 55, 50, 40},
        {"early, in the speech before", pause, 35, 50, 40},
        {"exactly at the onset", pause, 50, 50, 40},
        {"beyond 150 ms: unchanged", pause, 70, 70, 70},
        {"20 frames too early: unchanged", pause, 20, 20, 20},
    };
    for (const SnapCase& c : cases) {
        const std::vector<float> e = energies(c.picture);
        EXPECT_EQ(snapStartToPause(e, localPauseLevel(e, c.frame), c.frame), c.start) << c.name;
        EXPECT_EQ(snapEndToPause(e, localPauseLevel(e, c.frame), c.frame), c.end) << c.name;
    }
}

TEST(PauseSnapping, ReachesTheEdgeOfALongPauseUpToOneSecondAway)
{
    // Speech, a pause of 60 frames (10..69), speech.
    const std::string pause = std::string(10, '#') + std::string(60, '_') + std::string(40, '#');
    const std::vector<float> e = energies(pause.c_str());
    EXPECT_EQ(snapStartToPause(e, localPauseLevel(e, 12), 12), 70);
    EXPECT_EQ(snapEndToPause(e, localPauseLevel(e, 65), 65), 10);
    // A pause of three seconds: the boundary goes a second towards its edge.
    const std::string longPause =
        std::string(10, '#') + std::string(300, '_') + std::string(10, '#');
    const std::vector<float> f = energies(longPause.c_str());
    EXPECT_EQ(snapStartToPause(f, localPauseLevel(f, 20), 20), 20 + kSnapReachFrames);
    EXPECT_EQ(snapEndToPause(f, localPauseLevel(f, 290), 290), 290 - kSnapReachFrames);
}

TEST(PauseSnapping, ShortGapsAndSteadySoundAreNoPause)
{
    // A 30 ms closure inside a word is not a pause.
    const std::vector<float> closure = energies("####################___####################");
    EXPECT_EQ(snapStartToPause(closure, localPauseLevel(closure, 18), 18), 18);
    // Music throughout: nothing 10 dB quieter than the rest.
    const std::vector<float> steady(60, -25.0f);
    EXPECT_FALSE(localPauseLevel(steady, 30).usable);
    EXPECT_EQ(snapStartToPause(steady, localPauseLevel(steady, 30), 30), 30);
}

TEST(PauseSnapping, FileLevelNeedsTwelveDecibelsBetweenFloorAndSpeech)
{
    EXPECT_TRUE(pauseLevelOf(energies("#####_____#####_____")).usable);
    std::vector<float> flat(100, -30.0f);
    flat[3] = -35.0f;
    EXPECT_FALSE(pauseLevelOf(flat).usable);
}

} // namespace
