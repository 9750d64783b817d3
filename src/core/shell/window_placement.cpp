// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/window_placement.h"

#include <algorithm>

namespace dictora {

QRect placeInside(QRect wanted, const QRect& area)
{
    if (area.isEmpty())
        return wanted;
    wanted.setWidth(std::min(wanted.width(), area.width()));
    wanted.setHeight(std::min(wanted.height(), area.height()));
    wanted.moveLeft(std::clamp(wanted.left(), area.left(), area.right() - wanted.width() + 1));
    wanted.moveTop(std::clamp(wanted.top(), area.top(), area.bottom() - wanted.height() + 1));
    return wanted;
}

QRect centredOn(const QSize& size, const QRect& owner, const QRect& area)
{
    QRect place(QPoint(0, 0), size);
    place.moveCenter(owner.isEmpty() ? area.center() : owner.center());
    return placeInside(place, area);
}

QRect framedWindowPlace(const QSize& client, const QMargins& frame, const QRect& owner,
                        const QRect& area)
{
    const QSize framed = client.grownBy(frame);
    return centredOn(framed, owner, area).marginsRemoved(frame);
}

namespace {

bool coversAny(const QRect& place, const QList<QRect>& keepClear)
{
    return std::any_of(keepClear.begin(), keepClear.end(),
                       [&](const QRect& clear) { return place.intersects(clear); });
}

} // namespace

QRect toolbarPlace(const QRect& wanted, const QRect& area, const QList<QRect>& keepClear)
{
    const QRect inside = placeInside(wanted, area);
    if (!coversAny(inside, keepClear))
        return inside;
    // Past everything the place covers, again while the moved place covers
    // something new (the first row just under the switch text).
    const auto past = [&](int direction) {
        QRect place = inside;
        for (qsizetype round = 0; round <= keepClear.size() && coversAny(place, keepClear);
             ++round) {
            QRect covered;
            for (const QRect& clear : keepClear)
                if (place.intersects(clear))
                    covered |= clear;
            if (direction == 0)
                place.moveTop(covered.bottom() + 1 + kKeepClearGap);
            else if (direction == 1)
                place.moveBottom(covered.top() - 1 - kKeepClearGap);
            else
                place.moveLeft(covered.right() + 1 + kKeepClearGap);
        }
        return place;
    };
    for (int direction : {0, 1, 2}) {
        const QRect candidate = past(direction);
        if (placeInside(candidate, area) == candidate && !coversAny(candidate, keepClear))
            return candidate;
    }
    return inside;
}

} // namespace dictora
