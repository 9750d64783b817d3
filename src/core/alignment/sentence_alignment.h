// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/alignment/speech_features.h"
#include "core/alignment/warping.h"

#include <QString>

#include <vector>

namespace dictora {

// A sentence's frames in the synthetic speech: [first, end).
struct SentenceFrames {
    int first = 0;
    int end = 0;
    int syllables = 1; // how many it takes to say (syllable_count.h)
};

// The time a subtitle states for a sentence, in milliseconds.
struct StatedSpan {
    int startMs = 0;
    int endMs = 0;
};

// Where a sentence is spoken in the recording. Not found: the warping gave
// it a place that does not sound like it (or, re-timing, at the edge of its
// search window); a re-timed sentence then keeps its stated time.
struct AlignedSentence {
    int startMs = 0;
    int endMs = 0;
    bool found = false;
    float confidence = 0; // 0..1 (alignment_confidence.h); found from 0.5
};

// A re-timed sentence is looked for this far either side of its stated time.
inline constexpr int kRetimeSearchMs = 10'000;

// The search area of re-timing: the frames of sentence k may meet recording
// frames from its stated start - 10 s to its stated end + 10 s; the pause
// frames between two sentences span both their areas, the leading pause
// reaches back to the recording's start and the trailing one on to its end.
// A stated end at or before the start counts as start + the sentence's
// synthetic length.
WarpWindow retimeWindow(const std::vector<SentenceFrames>& sentences,
                        const std::vector<StatedSpan>& stated, int syntheticFrames,
                        int recordingFrames);

struct AlignmentResult {
    enum class Status {
        Aligned,
        Silent,      // nothing audible in the recording
        TextTooLong, // the text would take far longer to say than the recording's speech
        Cancelled,
        NoSentences,
    };
    Status status = Status::NoSentences;
    std::vector<AlignedSentence> sentences;
    // For TextTooLong: seconds of synthetic speech against seconds of speech heard.
    double syntheticSeconds = 0;
    double heardSeconds = 0;
};

// The recording counts as silent when 95 % of its frames are quieter than this.
inline constexpr float kSilentBelowDb = -55.0f;
// The text is refused when saying it takes longer than this many times the
// recording's speech, plus 5 s.
inline constexpr double kTooLongRatio = 2.5;

// Aligns the synthetic speech of the sentences (their frames in `synthetic`,
// in order, pauses between them) with the recording: multi-scale warping
// of the cepstra and of where each track pauses (inside the re-timing
// window when `stated` is given, one span per sentence); then each
// boundary between sentences placed over the candidate pauses
// (boundary_placement.h), every end carried over its tail and every start
// back over its onset; each sentence gets a confidence
// (alignment_confidence.h). Both tracks are normalised here. `progress`
// gets 0..1.
AlignmentResult alignSentences(FeatureTrack recording, FeatureTrack synthetic,
                               const std::vector<SentenceFrames>& sentences,
                               const std::vector<StatedSpan>* stated,
                               const WarpProgress& progress = {});

} // namespace dictora
