// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/sentence_alignment.h"

#include "core/alignment/pause_snapping.h"

#include <algorithm>
#include <cstdlib>

namespace dictora {

namespace {

constexpr int kSearchFrames = kRetimeSearchMs / kFrameMs;
// A synthetic frame may stand for this many recording frames at a
// sentence's edge (slow speech) before the excess counts as non-speech.
constexpr int kHeldFrames = 3;

float percentile(std::vector<float> values, double share)
{
    if (values.empty())
        return -200;
    const size_t index = std::min(values.size() - 1, size_t(share * double(values.size())));
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(index), values.end());
    return values[index];
}

} // namespace

WarpWindow retimeWindow(const std::vector<SentenceFrames>& sentences,
                        const std::vector<StatedSpan>& stated, int syntheticFrames,
                        int recordingFrames)
{
    WarpWindow window;
    window.lo.assign(size_t(syntheticFrames), 0);
    window.hi.assign(size_t(syntheticFrames), recordingFrames - 1);
    const size_t count = std::min(sentences.size(), stated.size());
    std::vector<int> lo(count), hi(count);
    for (size_t k = 0; k < count; ++k) {
        const int start = stated[k].startMs / kFrameMs;
        int end = stated[k].endMs / kFrameMs;
        if (end <= start)
            end = start + (sentences[k].end - sentences[k].first);
        lo[k] = start - kSearchFrames;
        hi[k] = end + kSearchFrames;
    }
    for (size_t k = 0; k < count; ++k) {
        const int pauseEnd = k + 1 < count ? sentences[k + 1].first : syntheticFrames;
        for (int r = sentences[k].first; r < sentences[k].end && r < syntheticFrames; ++r) {
            window.lo[size_t(r)] = lo[k];
            window.hi[size_t(r)] = hi[k];
        }
        for (int r = sentences[k].end; r < pauseEnd && r < syntheticFrames; ++r) {
            window.lo[size_t(r)] = lo[k];
            window.hi[size_t(r)] = k + 1 < count ? hi[k + 1] : recordingFrames - 1;
        }
    }
    for (int r = 0; count > 0 && r < sentences[0].first && r < syntheticFrames; ++r) {
        window.lo[size_t(r)] = 0;
        window.hi[size_t(r)] = hi[0];
    }
    window.normalise(recordingFrames);
    return window;
}

AlignmentResult alignSentences(FeatureTrack recording, FeatureTrack synthetic,
                               const std::vector<SentenceFrames>& sentences,
                               const std::vector<StatedSpan>* stated, const WarpProgress& progress)
{
    AlignmentResult result;
    if (sentences.empty() || synthetic.frameCount() == 0)
        return result;
    const int recordingFrames = recording.frameCount();
    const std::vector<float> energy = recording.energyDb;
    if (recordingFrames == 0 || percentile(energy, 0.95) < kSilentBelowDb) {
        result.status = AlignmentResult::Status::Silent;
        return result;
    }

    const PauseLevel level = pauseLevelOf(energy);
    int heardFrames = recordingFrames;
    if (level.usable)
        heardFrames = int(std::count_if(energy.begin(), energy.end(),
                                        [&](float e) { return e >= level.quietBelowDb; }));
    int spokenFrames = 0;
    for (const SentenceFrames& sentence : sentences)
        spokenFrames += sentence.end - sentence.first;
    result.syntheticSeconds = spokenFrames * kFrameMs / 1000.0;
    result.heardSeconds = heardFrames * kFrameMs / 1000.0;
    if (result.syntheticSeconds > kTooLongRatio * result.heardSeconds + 5.0) {
        result.status = AlignmentResult::Status::TextTooLong;
        return result;
    }

    recording.normalise();
    synthetic.normalise();
    MultiScaleOptions options;
    WarpWindow limit;
    if (stated) {
        limit = retimeWindow(sentences, *stated, synthetic.frameCount(), recordingFrames);
        options.limit = &limit;
    }
    const WarpPath path = warpMultiScale(synthetic, recording, options, progress);
    if (path.first.empty()) {
        result.status = AlignmentResult::Status::Cancelled;
        return result;
    }

    // Each sentence's frames as warped, then snapped to pauses; the cost of
    // its rows tells how well the synthetic sentence matched.
    std::vector<float> costs;
    for (const SentenceFrames& sentence : sentences) {
        AlignedSentence aligned;
        const int first = std::clamp(sentence.first, 0, synthetic.frameCount() - 1);
        const int last = std::clamp(sentence.end - 1, first, synthetic.frameCount() - 1);
        // A sentence's first synthetic frame that the path holds on to for
        // many recording frames is soaking up what precedes the speech
        // (music, noise, a long pause): the speech starts where the path
        // leaves it. Likewise at the end.
        const int warpedStart =
            std::max(path.first[size_t(first)], path.last[size_t(first)] - kHeldFrames);
        const int warpedEnd =
            std::min(path.last[size_t(last)], path.first[size_t(last)] + kHeldFrames) + 1;
        int start = snapStartToPause(energy, localPauseLevel(energy, warpedStart), warpedStart);
        int end = snapEndToPause(energy, localPauseLevel(energy, warpedEnd), warpedEnd);
        if (end <= start)
            end = start + 1;
        aligned.startMs = start * kFrameMs;
        aligned.endMs = std::min(end, recordingFrames) * kFrameMs;
        double cost = 0;
        for (int r = first; r <= last; ++r)
            cost += path.cost[size_t(r)];
        costs.push_back(float(cost / (last - first + 1)));
        result.sentences.push_back(aligned);
    }
    // Snapping moves each boundary on its own; neighbours must not overlap.
    for (size_t k = 1; k < result.sentences.size(); ++k) {
        AlignedSentence& before = result.sentences[k - 1];
        AlignedSentence& after = result.sentences[k];
        if (after.startMs < before.endMs)
            before.endMs = std::max(after.startMs, before.startMs + kFrameMs);
        after.startMs = std::max(after.startMs, before.endMs);
        after.endMs = std::max(after.endMs, after.startMs + kFrameMs);
    }

    // A sentence is found when it matched about as well as the sentences do
    // in general, its length is plausible for its synthetic length, and
    // (re-timing) it did not run into the edge of its search window.
    const float typical = percentile(costs, 0.5);
    for (size_t k = 0; k < result.sentences.size(); ++k) {
        AlignedSentence& aligned = result.sentences[k];
        const double synthMs = double(sentences[k].end - sentences[k].first) * kFrameMs;
        const double ratio = double(aligned.endMs - aligned.startMs) / std::max(synthMs, 1.0);
        aligned.found = costs[k] <= 1.5f * typical && ratio >= 0.3 && ratio <= 3.5;
        if (stated && k < stated->size()) {
            const StatedSpan& span = (*stated)[k];
            if (std::abs(aligned.startMs - span.startMs) >= kRetimeSearchMs - 200)
                aligned.found = false;
            if (!aligned.found) {
                aligned.startMs = span.startMs;
                aligned.endMs = span.endMs;
            }
        }
    }
    result.status = AlignmentResult::Status::Aligned;
    return result;
}

} // namespace dictora
