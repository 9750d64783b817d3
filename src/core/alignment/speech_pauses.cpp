// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/speech_pauses.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace dictora {

namespace {

constexpr int kBlockFrames = 100;
constexpr int kBlockReach = 2;
constexpr float kQuietShare = 0.3f;
constexpr float kLeastQuietDb = 6.0f;
constexpr float kLeastContrastDb = 12.0f;
constexpr int kBlipFrames = 4;
constexpr int kMeanFrames = 3;
constexpr int kSteadyFrames = 15;
constexpr float kSteadyRangeDb = 3.0f;
constexpr float kSteadyAboveQuietDb = 12.0f;

float blockPercentile(const std::vector<float>& levelDb, int block, double share)
{
    const int first = block * kBlockFrames;
    const int last = std::min(int(levelDb.size()), first + kBlockFrames);
    std::vector<float> values(levelDb.begin() + first, levelDb.begin() + last);
    const size_t index = std::min(values.size() - 1, size_t(share * double(values.size())));
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(index), values.end());
    return values[index];
}

// Mean power, in dB, of the frames [first, first + count) inside the track.
float meanLevel(const std::vector<float>& levelDb, int first, int count)
{
    double power = 0;
    int n = 0;
    for (int k = std::max(first, 0); k < std::min(first + count, int(levelDb.size())); ++k, ++n)
        power += std::pow(10.0, levelDb[size_t(k)] / 10.0);
    return n ? float(10.0 * std::log10(power / n)) : -200.0f;
}

} // namespace

std::vector<float> quietThresholds(const std::vector<float>& levelDb)
{
    const int frames = int(levelDb.size());
    const int blocks = (frames + kBlockFrames - 1) / kBlockFrames;
    std::vector<float> low(static_cast<size_t>(blocks)), high(static_cast<size_t>(blocks));
    for (int b = 0; b < blocks; ++b) {
        low[size_t(b)] = blockPercentile(levelDb, b, 0.10);
        high[size_t(b)] = blockPercentile(levelDb, b, 0.95);
    }
    std::vector<float> threshold(static_cast<size_t>(frames));
    for (int b = 0; b < blocks; ++b) {
        float floor = low[size_t(b)], speech = high[size_t(b)];
        for (int n = std::max(0, b - kBlockReach); n <= std::min(blocks - 1, b + kBlockReach);
             ++n) {
            floor = std::min(floor, low[size_t(n)]);
            speech = std::max(speech, high[size_t(n)]);
        }
        // Without 12 dB between them there are no pauses to tell apart.
        const float quiet = speech - floor < kLeastContrastDb
                                ? -1e9f
                                : floor + std::max(kLeastQuietDb, kQuietShare * (speech - floor));
        for (int k = b * kBlockFrames; k < std::min(frames, (b + 1) * kBlockFrames); ++k)
            threshold[size_t(k)] = quiet;
    }
    return threshold;
}

std::vector<Pause> findPauses(const std::vector<float>& levelDb, int minFrames,
                              const std::vector<float>& thresholdLevelDb)
{
    const std::vector<float> threshold =
        quietThresholds(thresholdLevelDb.size() == levelDb.size() ? thresholdLevelDb : levelDb);
    const int frames = int(levelDb.size());
    // Steady noise (a fan, hum, another room's tone) is a pause too: well
    // below the speech, its level holds within kSteadyRangeDb for
    // kSteadyFrames in a row, where speech rises and falls.
    std::vector<char> steady(size_t(frames), 0);
    for (int first = 0; first + kSteadyFrames <= frames; ++first) {
        const auto [low, high] =
            std::minmax_element(levelDb.begin() + first, levelDb.begin() + first + kSteadyFrames);
        if (*high - *low > kSteadyRangeDb)
            continue;
        for (int k = first; k < first + kSteadyFrames; ++k)
            steady[size_t(k)] = steady[size_t(k)] ||
                                levelDb[size_t(k)] < threshold[size_t(k)] + kSteadyAboveQuietDb;
    }
    const auto quiet = [&](int k) {
        return levelDb[size_t(k)] < threshold[size_t(k)] || steady[size_t(k)];
    };
    std::vector<Pause> pauses;
    int k = 0;
    while (k < frames) {
        if (!quiet(k)) {
            ++k;
            continue;
        }
        const int first = k;
        int end = k + 1;
        while (end < frames) {
            if (quiet(end)) {
                ++end;
                continue;
            }
            int loud = end;
            while (loud < frames && !quiet(loud) && loud - end < kBlipFrames + 1)
                ++loud;
            if (loud < frames && loud - end <= kBlipFrames && quiet(loud))
                end = loud;
            else
                break;
        }
        if (end - first >= minFrames)
            pauses.push_back({first, end, medianLevel(levelDb, first, end)});
        k = end;
    }
    return pauses;
}

float medianLevel(const std::vector<float>& levelDb, int first, int end)
{
    return levelPercentile(levelDb, first, end, 0.5);
}

float levelPercentile(const std::vector<float>& levelDb, int first, int end, double share)
{
    first = std::max(first, 0);
    end = std::min(end, int(levelDb.size()));
    if (end <= first)
        return -200;
    std::vector<float> values(levelDb.begin() + first, levelDb.begin() + end);
    const size_t index = std::min(values.size() - 1, size_t(share * double(values.size())));
    const auto at = values.begin() + std::ptrdiff_t(index);
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

int lastSoundEnd(const std::vector<float>& levelDb, int from, int to, float floorDb)
{
    const float heard = floorDb + kHeardAboveFloorDb;
    to = std::min(to, int(levelDb.size()));
    for (int end = to; end >= from + kMeanFrames; --end) {
        if (meanLevel(levelDb, end - kMeanFrames, kMeanFrames) < heard)
            continue;
        while (levelDb[size_t(end) - 1] < heard)
            --end;
        return end + kMeanFrames <= to ? end : from;
    }
    return from;
}

int extendEndOverTail(const std::vector<float>& levelDb, int end, float floorDb, int limit)
{
    while (end < limit && meanLevel(levelDb, end, kMeanFrames) >= floorDb + kTailAboveFloorDb)
        ++end;
    return end;
}

int extendStartOverOnset(const std::vector<float>& levelDb, int start, float floorDb, int limit)
{
    while (start > limit &&
           meanLevel(levelDb, start - kMeanFrames, kMeanFrames) >= floorDb + kTailAboveFloorDb)
        --start;
    return start;
}

namespace {

bool holdsLoudSound(const std::vector<float>& levelDb, int from, int to, float speechDb)
{
    for (int k = from; k + kMeanFrames <= to; ++k)
        if (meanLevel(levelDb, k, kMeanFrames) >= speechDb + kLoudAboveSpeechDb)
            return true;
    return false;
}

} // namespace

int endBeforeLoudSound(const std::vector<float>& levelDb, const std::vector<Pause>& shortPauses,
                       int end, float speechDb)
{
    for (auto p = shortPauses.rbegin(); p != shortPauses.rend(); ++p) {
        if (p->end >= end)
            continue;
        if (p->end < end - kLoudSoundFrames)
            break;
        if (holdsLoudSound(levelDb, p->end, end, speechDb))
            return p->first;
    }
    return end;
}

int startAfterLoudSound(const std::vector<float>& levelDb, const std::vector<Pause>& shortPauses,
                        int start, float speechDb)
{
    for (const Pause& p : shortPauses) {
        if (p.first <= start)
            continue;
        if (p.first > start + kLoudSoundFrames)
            break;
        if (holdsLoudSound(levelDb, start, p.first, speechDb))
            return p.end;
    }
    return start;
}

int quietestFrame(const std::vector<float>& levelDb, int from, int to, int near)
{
    int best = from;
    float bestLevel = 1e9f;
    for (int k = std::max(from, 0); k < std::min(to, int(levelDb.size())); ++k) {
        const float level = meanLevel(levelDb, k - 1, kMeanFrames);
        if (level < bestLevel ||
            (level == bestLevel && std::abs(k - near) < std::abs(best - near))) {
            bestLevel = level;
            best = k;
        }
    }
    return best;
}

} // namespace dictora
