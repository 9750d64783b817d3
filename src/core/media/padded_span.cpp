// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/padded_span.h"

#include <algorithm>

namespace dictora {

HeardSpan padSpan(int fromMs, int toMs, int leadInMs, int tailMs, SpanNeighbours neighbours,
                  int mediaEndMs)
{
    leadInMs = std::max(leadInMs, 0);
    tailMs = std::max(tailMs, 0);
    int from = fromMs - leadInMs;
    if (neighbours.previousEndMs >= 0)
        from = std::max(from, neighbours.previousEndMs - leadInMs);
    int to = toMs + tailMs;
    if (neighbours.nextStartMs >= 0)
        to = std::min(to, neighbours.nextStartMs + tailMs);
    // Never less than the sentence itself, never beyond the media.
    from = std::max(std::min(from, fromMs), 0);
    to = std::max(to, toMs);
    if (mediaEndMs >= 0)
        to = std::min(to, std::max(mediaEndMs, toMs));
    return {from, to};
}

} // namespace dictora
