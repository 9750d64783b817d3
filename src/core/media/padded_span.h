// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/study_state.h"

namespace dictora {

// What is heard of a sentence once lead-in and tail padding are added, in
// the media's own time. The stored times and the span the rules count
// (playFromMs..playToMs) stay unpadded.
struct HeardSpan {
    int fromMs = 0;
    int toMs = 0;
    bool operator==(const HeardSpan&) const = default;
};

// The sentences around the one played, in the media's own time; kNone where
// there is no sentence of the same media (the Section's first or last row).
struct SpanNeighbours {
    int previousEndMs = kNone;
    int nextStartMs = kNone;
};

// Pads fromMs..toMs by leadInMs and tailMs. The padding never reaches into
// the previous sentence further than leadInMs past that sentence's end, nor
// into the next further than tailMs past its start (so overlapping subtitle
// times do not add a whole neighbour), and never past the media's start (0)
// or its last millisecond (mediaEndMs). The padded span always holds the
// unpadded one.
HeardSpan padSpan(int fromMs, int toMs, int leadInMs, int tailMs, SpanNeighbours neighbours,
                  int mediaEndMs);

} // namespace dictora
