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

QRect toolbarRect(const QRect& form, bool docked)
{
    const int top = docked ? form.top() + form.height() - 40 : form.top() - 45;
    return {form.left() + 10, top, kToolbarWidth, kToolbarHeight};
}

QRect mismatchMarkerRect(const QPoint& caret, int formWidth, int promptHeight, int answerLineHeight)
{
    constexpr int kWidth = 120;
    int x = std::max(caret.x() - 70, 5);
    if (x + kWidth > formWidth - 30)
        x = formWidth - 150;
    return {x, promptHeight + answerLineHeight + caret.y() + 14, kWidth, 4};
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
