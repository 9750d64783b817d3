// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/dialog_colours.h"

#include "ui/widgets/ui_font.h"

#include <QApplication>
#include <QPalette>

namespace dictora {

void applyDialogColours(QApplication& app)
{
    QPalette palette = app.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, kDialogBackground);
        palette.setColor(group, QPalette::WindowText, kDialogText);
    }
    palette.setColor(QPalette::Disabled, QPalette::Window, kDialogBackground);
    app.setPalette(palette);
    app.setFont(uiFont());
}

} // namespace dictora
