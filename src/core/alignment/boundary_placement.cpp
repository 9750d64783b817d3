// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/boundary_placement.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dictora {

namespace {

constexpr double kWarpWeightPerSecond = 5.0;
constexpr double kWarpCapFrames = 200;
// Warping is good to about this (100 ms) on real speech; closer costs nothing.
constexpr double kWarpSlackFrames = 10;
constexpr double kPauseWeight = 1.0;
constexpr double kLongPauseFrames = 80;
constexpr double kRunTogetherCost = 0.5;
constexpr double kLengthWeight = 1.0;
// A sentence placed with no speech at all (order kept at any price).
constexpr double kEmptyCost = 50.0;
constexpr int kRunTogetherReach = 20;

struct Candidate {
    BoundaryPlace place;
    double cost = 0;
};

} // namespace

std::vector<BoundaryPlace> placeBoundaries(const BoundaryEvidence& evidence,
                                           const std::vector<float>& levelDb)
{
    const int boundaries = int(evidence.warped.size());
    if (boundaries == 0)
        return {};
    const int frames = int(levelDb.size());
    // Speech frames before each frame: the pause frames left out.
    std::vector<int> speechBefore(size_t(frames) + 1, 0);
    {
        std::vector<char> inPause(size_t(frames), 0);
        for (const Pause& p : evidence.pauses)
            for (int k = std::max(p.first, 0); k < std::min(p.end, frames); ++k)
                inPause[size_t(k)] = 1;
        for (int k = 0; k < frames; ++k)
            speechBefore[size_t(k) + 1] = speechBefore[size_t(k)] + (inPause[size_t(k)] ? 0 : 1);
    }
    const auto speech = [&](int from, int to) {
        from = std::clamp(from, 0, frames);
        to = std::clamp(to, 0, frames);
        return to > from ? speechBefore[size_t(to)] - speechBefore[size_t(from)] : 0;
    };
    int totalSyllables = 0;
    for (const int s : evidence.syllables)
        totalSyllables += std::max(s, 1);
    const double perSyllable = std::max(1.0, double(speech(evidence.firstStart, evidence.lastEnd)) /
                                                 std::max(totalSyllables, 1));
    const auto lengthCost = [&](int sentence, int from, int to) {
        const int spoken = speech(from, to);
        if (spoken <= 0)
            return kEmptyCost;
        const double expected = perSyllable * std::max(evidence.syllables[size_t(sentence)], 1);
        const double ratio = std::log(spoken / expected);
        return kLengthWeight * ratio * ratio;
    };

    std::vector<std::vector<Candidate>> candidates(static_cast<size_t>(boundaries));
    for (int b = 0; b < boundaries; ++b) {
        const int warped = evidence.warped[size_t(b)];
        const auto warpCost = [&](int at) {
            const double off = std::max(0.0, double(std::abs(at - warped)) - kWarpSlackFrames);
            return kWarpWeightPerSecond * std::min(off, kWarpCapFrames) / 100.0;
        };
        std::vector<Candidate>& list = candidates[size_t(b)];
        bool warpedInPause = false;
        for (size_t p = 0; p < evidence.pauses.size(); ++p) {
            const Pause& pause = evidence.pauses[p];
            if (pause.end < warped - kBoundaryReachFrames ||
                pause.first > warped + kBoundaryReachFrames)
                continue;
            if (pause.first <= evidence.firstStart || pause.end >= evidence.lastEnd)
                continue;
            const int nearest = std::clamp(warped, pause.first, pause.end);
            warpedInPause = warpedInPause || nearest == warped;
            Candidate c;
            c.place = {pause.first, pause.end, int(p)};
            c.cost = warpCost(nearest) +
                     kPauseWeight * std::max(0.0, 1.0 - pause.frames() / kLongPauseFrames);
            list.push_back(c);
        }
        if (!warpedInPause) {
            const int at = quietestFrame(levelDb, warped - kRunTogetherReach,
                                         warped + kRunTogetherReach + 1, warped);
            Candidate c;
            c.place = {at, at, -1};
            c.cost = warpCost(at) + kPauseWeight + kRunTogetherCost;
            list.push_back(c);
        }
    }

    // best[b][i]: least cost of boundaries 0..b with b at candidate i,
    // sentences 0..b included.
    constexpr double kNone = std::numeric_limits<double>::infinity();
    std::vector<std::vector<double>> best(static_cast<size_t>(boundaries));
    std::vector<std::vector<int>> from(static_cast<size_t>(boundaries));
    for (int b = 0; b < boundaries; ++b) {
        const std::vector<Candidate>& list = candidates[size_t(b)];
        best[size_t(b)].assign(list.size(), kNone);
        from[size_t(b)].assign(list.size(), -1);
        for (size_t i = 0; i < list.size(); ++i) {
            const BoundaryPlace& here = list[i].place;
            if (b == 0) {
                best[0][i] = list[i].cost + lengthCost(0, evidence.firstStart, here.first);
                continue;
            }
            const std::vector<Candidate>& before = candidates[size_t(b) - 1];
            for (size_t j = 0; j < before.size(); ++j) {
                if (best[size_t(b) - 1][j] == kNone)
                    continue;
                const BoundaryPlace& there = before[j].place;
                // Order kept; a pause serves one boundary only.
                double order = 0;
                if (there.end > here.first ||
                    (here.pauseIndex >= 0 && here.pauseIndex == there.pauseIndex))
                    order = kEmptyCost * 10;
                const double total = best[size_t(b) - 1][j] + order + list[i].cost +
                                     lengthCost(b, there.end, here.first);
                if (total < best[size_t(b)][i]) {
                    best[size_t(b)][i] = total;
                    from[size_t(b)][i] = int(j);
                }
            }
        }
    }
    const int last = boundaries - 1;
    int chosen = 0;
    double least = kNone;
    for (size_t i = 0; i < candidates[size_t(last)].size(); ++i) {
        const double total =
            best[size_t(last)][i] +
            lengthCost(last + 1, candidates[size_t(last)][i].place.end, evidence.lastEnd);
        if (total < least) {
            least = total;
            chosen = int(i);
        }
    }
    std::vector<BoundaryPlace> places(static_cast<size_t>(boundaries));
    for (int b = last; b >= 0; --b) {
        places[size_t(b)] = candidates[size_t(b)][size_t(chosen)].place;
        chosen = std::max(from[size_t(b)][size_t(chosen)], 0);
    }
    return places;
}

} // namespace dictora
