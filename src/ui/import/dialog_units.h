// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace dictora {

// The dialogs are laid out in dialog units, as their templates were: a
// horizontal unit is a quarter of the dialog font's average letter width, a
// vertical unit an eighth of its line height. So the dialogs keep their
// proportions with whatever font stands in for "微软雅黑".
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int x(int units) const { return (units * baseX_ + 2) / 4; }
    int y(int units) const { return (units * baseY_ + 4) / 8; }
    QRect rect(int left, int top, int width, int height) const
    {
        return {x(left), y(top), x(width), y(height)};
    }
    QSize size(int width, int height) const { return {x(width), y(height)}; }

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }

private:
    int baseX_ = 0;
    int baseY_ = 0;
};

// The dialogs' font: "微软雅黑" at 9 points.
QFont dialogFont();

} // namespace dictora
