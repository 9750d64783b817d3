// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import/dialog_units.h"

#include "ui/widgets/ui_font.h"

#include <QFontMetrics>

namespace dictora {

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    // The average width of the 52 Latin letters, rounded, as dialog templates
    // measure their font.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = (letters / 26 + 1) / 2;
    baseY_ = metrics.height();
}

QFont dialogFont()
{
    QFont font = uiFont();
    font.setPointSize(9);
    return font;
}

} // namespace dictora
