// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/parsed_rows.h"

#include "core/study/number_text.h"

#include <algorithm>
#include <numeric>

namespace dictora {

void ParsedRows::add(SentenceRow row, Timing timing)
{
    if (rows.size() >= limit) {
        overflowed = true;
        return;
    }
    // Zero times keep the blank row's shared "0" text: a file of many short
    // lines then costs no extra text per row.
    if (timing.startMs != 0)
        row[StartMs] = uintText(timing.startMs);
    if (timing.endMs != 0)
        row[EndMs] = uintText(timing.endMs);
    rows.push_back(std::move(row));
    timings.push_back(timing);
}

void ParsedRows::sortByTime()
{
    std::vector<uint32_t> keys(rows.size());
    uint32_t key = 0;
    for (size_t i = 0; i < rows.size(); ++i)
        keys[i] = key = timings[i].timed ? timings[i].startMs : key;
    if (std::is_sorted(keys.begin(), keys.end()))
        return;
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<SentenceRow> sortedRows;
    std::vector<Timing> sortedTimings;
    sortedRows.reserve(rows.size());
    sortedTimings.reserve(rows.size());
    for (const size_t i : order) {
        sortedRows.push_back(std::move(rows[i]));
        sortedTimings.push_back(timings[i]);
    }
    rows = std::move(sortedRows);
    timings = std::move(sortedTimings);
}

void ParsedRows::shift(int64_t offsetMs)
{
    if (offsetMs == 0)
        return;
    const auto shifted = [&](uint32_t ms) {
        return uint32_t(std::clamp<int64_t>(int64_t(ms) - offsetMs, 0, UINT32_MAX));
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        Timing& timing = timings[i];
        if (!timing.timed)
            continue;
        timing.startMs = shifted(timing.startMs);
        // An end of 0 means "until the next sentence" and stays so; an end
        // of its own stays one, at 1 ms at the least.
        if (timing.endMs != 0)
            timing.endMs = std::max<uint32_t>(shifted(timing.endMs), 1);
        rows[i][StartMs] = uintText(timing.startMs);
        rows[i][EndMs] = uintText(timing.endMs);
    }
}

void ParsedRows::dropEmpty()
{
    size_t kept = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i][Text].isEmpty() && rows[i][Text2].isEmpty()) {
            const Timing& timing = timings[i];
            if (timing.lyric && timing.timed && kept > 0) {
                Timing& before = timings[kept - 1];
                if (before.timed && before.endMs == 0 && before.startMs < timing.startMs) {
                    before.endMs = timing.startMs;
                    rows[kept - 1][EndMs] = uintText(before.endMs);
                }
            }
            continue;
        }
        if (kept != i) {
            rows[kept] = std::move(rows[i]);
            timings[kept] = timings[i];
        }
        ++kept;
    }
    rows.resize(kept);
    timings.resize(kept);
}

} // namespace dictora
