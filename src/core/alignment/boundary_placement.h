// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/alignment/speech_pauses.h"

#include <vector>

namespace dictora {

// Where one boundary between two sentences goes: in the pause [first, end),
// the first sentence ending at `first` and the next starting at `end`; or,
// where they run into each other (first == end), at that one frame.
struct BoundaryPlace {
    int first = 0;
    int end = 0;
    int pauseIndex = -1; // into the pauses given; -1: no pause
};

struct BoundaryEvidence {
    // Per boundary (between sentence k and k + 1): the frame the warping
    // put it at, between the end of k and the start of k + 1.
    std::vector<int> warped;
    // Per sentence: its syllables (syllable_count.h).
    std::vector<int> syllables;
    // Where the first sentence starts and the last one ends.
    int firstStart = 0;
    int lastEnd = 0;
    std::vector<Pause> pauses;
};

// A boundary looks for pauses this far either side of where warping put it.
inline constexpr int kBoundaryReachFrames = 400;

// Places every boundary by dynamic programming over the candidates near
// where warping put it: each pause within kBoundaryReachFrames, and the
// warped frame itself (running together, at the quietest frame near it).
// A choice costs, summed over boundaries and sentences:
// - the distance from the warped frame (per second, at most 2 s);
// - a short pause (a sentence ends more often at a long one), most of all
//   none;
// - per sentence, the squared logarithm of its speech frames (pause
//   frames not counted) over its expected share: its syllables times the
//   recording's speech frames per syllable.
// Boundaries keep their order; the choice of least cost is returned, one
// place per boundary.
std::vector<BoundaryPlace> placeBoundaries(const BoundaryEvidence& evidence,
                                           const std::vector<float>& levelDb);

} // namespace dictora
