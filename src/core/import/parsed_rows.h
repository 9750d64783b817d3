// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/sentence_table.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace dictora {

// The rows a parser has made so far, with the times it gave each as numbers,
// kept beside the rows so that tidy reading can shift and sort them without
// reading the text back.
struct ParsedRows {
    struct Timing {
        uint32_t startMs = 0;
        uint32_t endMs = 0;
        bool timed = false; // the file gave the row a time (a lyric or subtitle time)
        bool lyric = false; // made from a lyric line
    };

    std::vector<SentenceRow> rows;
    std::vector<Timing> timings;
    // The most rows the file may give; one more sets `overflowed`, and the
    // parsers stop reading.
    size_t limit = std::numeric_limits<size_t>::max();
    bool overflowed = false;

    void add(SentenceRow row, Timing timing);
    // Stable sort by start time; a row without a time keeps its place after
    // the row before it.
    void sortByTime();
    // Shifts every time by -offsetMs (an LRC [offset:], positive is earlier),
    // stopping at 0.
    void shift(int64_t offsetMs);
    // Drops rows without text: an empty lyric line with a time ends the
    // sentence before it there (the pause in a song), when that one has no
    // end of its own yet.
    void dropEmpty();
};

} // namespace dictora
