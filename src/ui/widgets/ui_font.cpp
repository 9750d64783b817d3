// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/ui_font.h"

#include <QStringList>

namespace dictora {

void installFontSubstitutions()
{
    const QStringList substitutes = {QStringLiteral("Noto Sans CJK SC"),
                                     QStringLiteral("WenQuanYi Micro Hei")};
    QFont::insertSubstitutions(QString::fromUtf8(kUiFamily), substitutes);
    QFont::insertSubstitutions(QStringLiteral("Microsoft YaHei"), substitutes);
}

QFont uiFont()
{
    QFont font;
    font.setFamilies({QString::fromUtf8(kUiFamily), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    return font;
}

} // namespace dictora
