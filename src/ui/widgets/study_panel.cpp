// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/study_panel.h"

#include "ui/widgets/study_services.h"

#include <QGuiApplication>
#include <QScreen>

namespace dictora {

StudyPanel::StudyPanel(QWidget* parent, StudyServices& services)
    : QWidget(parent), services_(services), state_(services.state)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        screenWidth = screen->geometry().width();
        screenHeight = screen->geometry().height();
    }
}

StudyPanel::~StudyPanel() = default;

} // namespace dictora
