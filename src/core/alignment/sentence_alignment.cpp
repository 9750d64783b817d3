// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/sentence_alignment.h"

#include "core/alignment/alignment_confidence.h"
#include "core/alignment/boundary_placement.h"
#include "core/alignment/pause_snapping.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

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

// The last coefficient of each frame replaced by whether it is speech or
// pause: the level above the quiet threshold of its surroundings
// (speech_pauses.h), in steps of 6 dB, -1..1, times kPauseMarkWeight. The
// cepstra alone follow the voice; a pause is a pause in any voice, and
// warping that matches the synthetic pauses with the recording's keeps
// to the sentences. Measured on real speech (boundaries placed by warping
// alone): Mandarin p95 1602 -> 271 ms, English 440 -> 270 ms.
constexpr float kPauseMarkWeight = 3.0f;
void markPauses(FeatureTrack& track)
{
    const std::vector<float> levels = track.speechLevels();
    const std::vector<float> threshold = quietThresholds(levels);
    for (int k = 0; k < track.frameCount(); ++k) {
        const float above = (levels[size_t(k)] - threshold[size_t(k)]) / 6.0f;
        track.values[size_t(k) * kFeatureSize + kFeatureSize - 1] =
            kPauseMarkWeight * std::clamp(above, -1.0f, 1.0f);
    }
}

// A pause this long (150 ms) may hold a boundary; a stop's closure inside
// a word is shorter.
constexpr int kBoundaryPauseFrames = 15;

// A pause this short (80 ms) may set a loud sound apart from a sentence.
constexpr int kShortPauseFrames = 8;

// The talker's speech level: the 95th percentile of the levels in
// [first, end) outside the pauses; infinite when there are none.
float speechLevel(const std::vector<float>& levels, const std::vector<Pause>& pauses, int first,
                  int end)
{
    std::vector<float> spoken;
    size_t p = 0;
    for (int k = std::max(first, 0); k < std::min(end, int(levels.size())); ++k) {
        while (p < pauses.size() && pauses[p].end <= k)
            ++p;
        if (p == pauses.size() || k < pauses[p].first)
            spoken.push_back(levels[size_t(k)]);
    }
    // With no speech outside the pauses no sound is judged loud.
    return spoken.empty() ? std::numeric_limits<float>::infinity()
                          : percentile(std::move(spoken), 0.95);
}

// How far an end may be carried over its tail (a fading fricative, a
// stop's release, reverberation), and a start back over its onset.
constexpr int kTailReachFrames = 30;
constexpr int kOnsetReachFrames = 15;
// Sound up to this long after a sentence's warped end may still be its own.
// Measured on real speech (English p95 250 -> 185 ms); at a start, the same
// took in breaths before speaking (p95 185 -> 250 ms) and is not done.
constexpr int kHeardSlackFrames = 5;
// The quietest fifth of a pause. Measured on real speech under pink noise
// and music: p95 220 -> 90 ms, where a word's last fricative had been left
// out.
constexpr double kQuietestShare = 0.2;

// The pause that ends at or just after a sentence's start (or begins at or
// just before its end), or -1.
int pauseBefore(const std::vector<Pause>& pauses, int start)
{
    for (int p = int(pauses.size()) - 1; p >= 0; --p)
        if (pauses[size_t(p)].first < start && pauses[size_t(p)].end >= start - kSnapFrames)
            return p;
    return -1;
}

int pauseAfter(const std::vector<Pause>& pauses, int end)
{
    for (size_t p = 0; p < pauses.size(); ++p)
        if (pauses[p].end > end && pauses[p].first <= end + kSnapFrames)
            return int(p);
    return -1;
}

// Start and end frame of every sentence: the first start and the last end
// snapped to the nearest pause, the boundaries between placed over the
// candidate pauses (boundary_placement.h), a loud sound set apart by a short
// pause left out of the sentence next to it, then every end carried over its
// tail and every start back over its onset, up to the middle of the pause
// and no further than kTailReachFrames / kOnsetReachFrames. `levels` tell
// speech from pause against thresholds set on `thresholdLevels`
// (FeatureTrack::pauseLevels()). A tail or onset lasts while either
// `levels` or `hiss` stand above the pause's own floor in that measure: a
// nasal's murmur is faint in the hiss, a fricative or a breathy release
// under a room's hum in the broad level.
std::vector<int>
placeSentences(const std::vector<float>& levels, const std::vector<float>& thresholdLevels,
               const std::vector<float>& hiss, const std::vector<SentenceFrames>& sentences,
               const std::vector<int>& warpedStart, const std::vector<int>& warpedEnd)
{
    const int count = int(sentences.size());
    BoundaryEvidence evidence;
    evidence.pauses = findPauses(levels, kBoundaryPauseFrames, thresholdLevels);
    evidence.firstStart =
        snapStartToPause(levels, localPauseLevel(levels, warpedStart[0]), warpedStart[0]);
    evidence.lastEnd =
        snapEndToPause(levels, localPauseLevel(levels, warpedEnd.back()), warpedEnd.back());
    for (const SentenceFrames& sentence : sentences)
        evidence.syllables.push_back(sentence.syllables);
    for (int k = 0; k + 1 < count; ++k)
        evidence.warped.push_back((warpedEnd[size_t(k)] + warpedStart[size_t(k) + 1]) / 2);
    const std::vector<BoundaryPlace> places = placeBoundaries(evidence, levels);
    std::vector<int> spans(2 * size_t(count));
    const auto hissFloorOf = [&](int pause) {
        return medianLevel(hiss, evidence.pauses[size_t(pause)].first,
                           evidence.pauses[size_t(pause)].end);
    };
    const auto middleOf = [&](int pause) {
        return (evidence.pauses[size_t(pause)].first + evidence.pauses[size_t(pause)].end) / 2;
    };
    // Short pauses that set a loud sound (a cough) apart from a sentence,
    // and the talker's speech level that such a sound stands far above.
    const std::vector<Pause> shortPauses = findPauses(levels, kShortPauseFrames, thresholdLevels);
    const float speechDb =
        speechLevel(levels, evidence.pauses, evidence.firstStart, evidence.lastEnd);
    const auto middleOfShort = [&](int frame) {
        for (const Pause& p : shortPauses)
            if (p.first == frame || p.end == frame)
                return (p.first + p.end) / 2;
        return frame;
    };
    for (int k = 0; k < count; ++k) {
        int start = k == 0 ? evidence.firstStart : places[size_t(k) - 1].end;
        int end = k + 1 == count ? evidence.lastEnd : places[size_t(k)].first;
        const int loudBefore = startAfterLoudSound(levels, shortPauses, start, speechDb);
        const int loudAfter = endBeforeLoudSound(levels, shortPauses, end, speechDb);
        const bool soundBefore = loudBefore != start && loudBefore < loudAfter;
        const bool soundAfter = loudAfter != end && loudBefore < loudAfter;
        start = soundBefore ? loudBefore : start;
        end = soundAfter ? loudAfter : end;
        const int before =
            k == 0 ? pauseBefore(evidence.pauses, start) : places[size_t(k) - 1].pauseIndex;
        const int after =
            k + 1 == count ? pauseAfter(evidence.pauses, end) : places[size_t(k)].pauseIndex;
        if (before >= 0) {
            int limit = std::max(middleOf(before), start - kOnsetReachFrames);
            if (soundBefore)
                limit = std::max(limit, middleOfShort(start));
            const float floor = evidence.pauses[size_t(before)].floorDb;
            // The broad level as well: a voice's first, breathy periods
            // lie mostly below the band of `levels`. Measured on real
            // speech: English starts cutting speech 3 -> 2, median 28 ->
            // 30 ms (starts 10-40 ms earlier).
            const Pause& pause = evidence.pauses[size_t(before)];
            const float broadFloor = medianLevel(thresholdLevels, pause.first, pause.end);
            start = std::min({extendStartOverOnset(levels, start, floor, limit),
                              extendStartOverOnset(hiss, start, hissFloorOf(before), limit),
                              extendStartOverOnset(thresholdLevels, start, broadFloor, limit)});
        }
        if (after >= 0) {
            const float floor = evidence.pauses[size_t(after)].floorDb;
            // A faint last syllable ("-ing", "-ed") that the pause took in,
            // being under its threshold, while warping heard it as part of
            // the sentence: the end goes to the last sound before where
            // warping ended it. Heard above the pause's floor, or above its
            // quietest fifth: a fricative in steady noise raises the median
            // of the pause that took it in, and so hides under its floor.
            if (k + 1 < count && !soundAfter) {
                const Pause& pause = evidence.pauses[size_t(after)];
                const int heard =
                    std::min(warpedEnd[size_t(k)] + kHeardSlackFrames, middleOf(after));
                for (const auto& [track, median] :
                     {std::pair{&levels, floor}, std::pair{&hiss, hissFloorOf(after)}}) {
                    const float quietest =
                        levelPercentile(*track, pause.first, pause.end, kQuietestShare);
                    end = std::max({end, lastSoundEnd(*track, end, heard, median),
                                    lastSoundEnd(*track, end, heard, quietest)});
                }
            }
            int limit = std::min(middleOf(after), end + kTailReachFrames);
            if (soundAfter)
                limit = std::min(limit, middleOfShort(end));
            end = std::max(extendEndOverTail(levels, end, floor, limit),
                           extendEndOverTail(hiss, end, hissFloorOf(after), limit));
        }
        spans[2 * size_t(k)] = start;
        spans[2 * size_t(k) + 1] = end;
    }
    return spans;
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
    const std::vector<float> edges = recording.pauseLevels();
    const std::vector<float> edgeThresholds = recording.speechLevels();
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
    markPauses(recording);
    markPauses(synthetic);
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

    // Each sentence's frames as warped; the cost of its rows tells how well
    // the synthetic sentence matched.
    const int count = int(sentences.size());
    std::vector<int> warpedStart(static_cast<size_t>(count)), warpedEnd(static_cast<size_t>(count));
    std::vector<float> costs;
    for (int k = 0; k < count; ++k) {
        const SentenceFrames& sentence = sentences[size_t(k)];
        const int first = std::clamp(sentence.first, 0, synthetic.frameCount() - 1);
        const int last = std::clamp(sentence.end - 1, first, synthetic.frameCount() - 1);
        // A sentence's first synthetic frame that the path holds on to for
        // many recording frames is soaking up what precedes the speech
        // (music, noise, a long pause): the speech starts where the path
        // leaves it. Likewise at the end.
        warpedStart[size_t(k)] =
            std::max(path.first[size_t(first)], path.last[size_t(first)] - kHeldFrames);
        warpedEnd[size_t(k)] =
            std::min(path.last[size_t(last)], path.first[size_t(last)] + kHeldFrames) + 1;
        double cost = 0;
        for (int r = first; r <= last; ++r)
            cost += path.cost[size_t(r)];
        costs.push_back(float(cost / (last - first + 1)));
    }
    const std::vector<int> spans =
        placeSentences(edges, edgeThresholds, recording.hissDb, sentences, warpedStart, warpedEnd);
    for (int k = 0; k < count; ++k) {
        AlignedSentence aligned;
        aligned.startMs = spans[2 * size_t(k)] * kFrameMs;
        aligned.endMs = std::min(spans[2 * size_t(k) + 1], recordingFrames) * kFrameMs;
        result.sentences.push_back(aligned);
    }
    // Neighbours must not overlap, and every sentence lasts a frame.
    for (size_t k = 0; k < result.sentences.size(); ++k) {
        AlignedSentence& here = result.sentences[k];
        if (k > 0)
            here.startMs = std::max(here.startMs, result.sentences[k - 1].endMs);
        here.endMs = std::max(here.endMs, here.startMs + kFrameMs);
    }

    // Confidence: how well it matched, whether its length is plausible for
    // its synthetic length, how far the pauses moved it from the warping;
    // re-timing, a sentence at the edge of its search window is not found.
    const float typical = percentile(costs, 0.5);
    for (size_t k = 0; k < result.sentences.size(); ++k) {
        AlignedSentence& aligned = result.sentences[k];
        SentenceEvidence evidence;
        evidence.matchCost = costs[k];
        evidence.typicalCost = typical;
        const double synthMs = double(sentences[k].end - sentences[k].first) * kFrameMs;
        evidence.lengthRatio = double(aligned.endMs - aligned.startMs) / std::max(synthMs, 1.0);
        evidence.moved = std::max(std::abs(aligned.startMs / kFrameMs - warpedStart[k]),
                                  std::abs(aligned.endMs / kFrameMs - warpedEnd[k]));
        aligned.confidence = sentenceConfidence(evidence);
        aligned.found = aligned.confidence >= kFoundConfidence;
        if (stated && k < stated->size()) {
            const StatedSpan& span = (*stated)[k];
            if (std::abs(aligned.startMs - span.startMs) >= kRetimeSearchMs - 200) {
                aligned.found = false;
                aligned.confidence = std::min(aligned.confidence, kFoundConfidence / 2);
            }
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
