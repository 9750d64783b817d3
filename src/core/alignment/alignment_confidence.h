// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace dictora {

// What tells how surely a sentence was found.
struct SentenceEvidence {
    // Mean distance of the sentence's synthetic frames to the recording
    // frames they were matched with, and the median of that over all
    // sentences.
    float matchCost = 0;
    float typicalCost = 0;
    // The sentence's length in the recording over its synthetic length.
    double lengthRatio = 1;
    // How far (frames) the boundaries were moved from where warping put
    // them: the larger of its start's and its end's move.
    int moved = 0;
};

// A sentence counts as found from this confidence.
inline constexpr float kFoundConfidence = 0.5f;

// The product of three shares, each 0..1:
// - the match: 1 up to the typical cost, 0.5 at 1.5 times it, 0 at twice;
// - the length: 1 for 0.6..2.5 times the synthetic length, falling
//   (on a logarithmic scale) to 0 at 0.35 and 4.5 times;
// - the move: 1 up to half a second, falling to 0.6 at three seconds and
//   no lower, as warping can miss where pauses and lengths agree.
float sentenceConfidence(const SentenceEvidence& evidence);

} // namespace dictora
