// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/waveform_strip_place.h"

#include <algorithm>

namespace dictora {

std::optional<QRect> waveformStripPlace(const WaveformStripPlaceInput& in)
{
    if (in.row.isEmpty() || !in.view.intersects(in.row))
        return std::nullopt;
    const int width = std::max(in.right - in.left, 1);
    const QRect under(in.left, in.row.bottom() + 1, width, in.height);
    const QRect over(in.left, in.row.top() - in.height, width, in.height);
    const auto fits = [&](const QRect& place) {
        return place.top() >= in.view.top() && place.bottom() <= in.view.bottom();
    };
    const auto clear = [&](const QRect& place) {
        return fits(place) && std::none_of(in.covered.begin(), in.covered.end(),
                                           [&](const QRect& c) { return c.intersects(place); });
    };
    if (clear(under))
        return under;
    if (clear(over))
        return over;
    // Covered either way: under the row where it fits in the list.
    return fits(under) ? under : over;
}

} // namespace dictora
