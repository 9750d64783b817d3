// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dictation/form_geometry.h"

#include <algorithm>

namespace dictora {

QRect floatingFormRect(const QRect& area, const QPoint& current, int height, bool dragged)
{
    const int width = area.width() * 8 / 10;
    const int left = dragged ? current.x() : area.left() + area.width() / 10;
    int top = current.y();
    const int bottomLimit = area.top() + area.height() - kFormScreenEdge;
    if (top + height > bottomLimit)
        top = bottomLimit - height;
    top = std::max(top, area.top() + kFormScreenEdge);
    return {left, top, width, height};
}

FormStep automaticFormStep(const QRect& area, int top, int height, bool movingUp)
{
    const int areaBottom = area.top() + area.height();
    if (movingUp) {
        if (top - 10 < area.top() + kFormScreenEdge)
            return {top, false};
        return {top - kFormStepPixels, true};
    }
    if (top + height + 10 > areaBottom - kFormScreenEdge)
        return {top, true};
    return {top + kFormStepPixels, false};
}

QRect floatingFormBand(const QRect& area, const QRect& work, int formHeight)
{
    // The toolbar rides 45 pixels above the form, 15 more than the edge the
    // form keeps from the band's top; every band leaves room for it.
    constexpr int kToolbarAbove = 45 - kFormScreenEdge + 4;
    const QRect room = area.adjusted(0, kToolbarAbove, 0, 0);
    const QRect shown = work.intersected(area);
    if (shown.isEmpty())
        return room;
    const int needed = formHeight + 2 * kFormScreenEdge;
    const QRect below(room.left(), shown.bottom() + 1 + kToolbarAbove, room.width(),
                      room.bottom() - shown.bottom() - kToolbarAbove);
    if (below.height() >= needed)
        return below;
    const QRect above(room.left(), room.top(), room.width(), shown.top() - room.top());
    if (above.height() >= needed)
        return above;
    const int half = room.height() / 2;
    if (shown.center().y() < room.top() + half)
        return {room.left(), room.top() + half, room.width(), room.height() - half};
    return {room.left(), room.top(), room.width(), half};
}

QRect toolbarRect(const QRect& form, bool docked)
{
    const int top = docked ? form.top() + form.height() - 40 : form.top() - 45;
    return {form.left() + 10, top, kToolbarWidth, kToolbarHeight};
}

QRect mismatchMarkerRect(int charLeft, int charRight, int caretY, int formWidth, int promptHeight,
                         int answerLineHeight)
{
    const int width = std::max(charRight - charLeft, kMarkerMinWidth);
    const int x = std::clamp(charLeft, 5, std::max(5, formWidth - 5 - width));
    return {x, promptHeight + answerLineHeight + caretY + 14, width, 4};
}

QPoint hintPoint(const QPoint& formOrigin, const QPoint& caret, int promptHeight, int screenWidth)
{
    const int x = std::clamp(formOrigin.x() + caret.x() - 100, 10, std::max(10, screenWidth - 230));
    return {x, formOrigin.y() + promptHeight + caret.y() - 30};
}

int grownFormWidth(int width, int workWidth, int caretX, const QString& lineText, int lastX,
                   int margins)
{
    const int widest = workWidth - 14;
    if (width >= widest || caretX <= width * 3 / 4)
        return width;
    if (lineText.size() - lineText.lastIndexOf(QLatin1Char(' ')) <= 4)
        return width;
    const int grown = std::min(margins + lastX + 20, widest);
    return grown - width > 4 ? grown : width;
}

} // namespace dictora
