// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/pause_snapping.h"

#include <algorithm>
#include <cstdlib>

namespace dictora {

namespace {

bool quiet(const std::vector<float>& energyDb, const PauseLevel& level, int frame)
{
    return frame >= 0 && frame < int(energyDb.size()) &&
           energyDb[size_t(frame)] < level.quietBelowDb;
}

// A frame of a pause: quiet, in a quiet run of at least kPauseFrames (the
// closure of a stop consonant inside a word is shorter).
bool inPause(const std::vector<float>& energyDb, const PauseLevel& level, int frame)
{
    if (!quiet(energyDb, level, frame))
        return false;
    int first = frame, last = frame;
    while (last - first + 1 < kPauseFrames && quiet(energyDb, level, first - 1))
        --first;
    while (last - first + 1 < kPauseFrames && quiet(energyDb, level, last + 1))
        ++last;
    return last - first + 1 >= kPauseFrames;
}

// The pause frame nearest to `frame` within kSnapFrames (the earlier on a
// tie), or -1.
int nearestQuiet(const std::vector<float>& energyDb, const PauseLevel& level, int frame)
{
    for (int distance = 0; distance <= kSnapFrames; ++distance) {
        if (inPause(energyDb, level, frame - distance))
            return frame - distance;
        if (inPause(energyDb, level, frame + distance))
            return frame + distance;
    }
    return -1;
}

} // namespace

PauseLevel pauseLevelOf(const std::vector<float>& energyDb)
{
    PauseLevel level;
    if (energyDb.empty())
        return level;
    std::vector<float> sorted = energyDb;
    const auto at = [&](double share) {
        const size_t index = std::min(sorted.size() - 1, size_t(share * double(sorted.size())));
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(index), sorted.end());
        return sorted[index];
    };
    const float floor = at(0.10);
    const float speech = at(0.95);
    level.quietBelowDb = floor + 0.25f * (speech - floor);
    level.usable = speech - floor >= 12.0f;
    return level;
}

PauseLevel localPauseLevel(const std::vector<float>& energyDb, int frame)
{
    PauseLevel level;
    const int first = std::max(0, frame - kLevelContextFrames);
    const int last = std::min(int(energyDb.size()) - 1, frame + kLevelContextFrames);
    if (first > last)
        return level;
    const auto [low, high] =
        std::minmax_element(energyDb.begin() + first, energyDb.begin() + last + 1);
    level.quietBelowDb = *low + 0.3f * (*high - *low);
    level.usable = *high - *low >= 10.0f;
    return level;
}

int snapStartToPause(const std::vector<float>& energyDb, const PauseLevel& level, int frame)
{
    if (!level.usable)
        return frame;
    int pause = nearestQuiet(energyDb, level, frame);
    if (pause < 0)
        return frame;
    while (quiet(energyDb, level, pause) && pause < frame + kSnapReachFrames)
        ++pause;
    return pause;
}

int snapEndToPause(const std::vector<float>& energyDb, const PauseLevel& level, int frame)
{
    if (!level.usable)
        return frame;
    int pause = nearestQuiet(energyDb, level, frame);
    if (pause < 0)
        return frame;
    while (quiet(energyDb, level, pause - 1) && pause > frame - kSnapReachFrames)
        --pause;
    return pause;
}

} // namespace dictora
