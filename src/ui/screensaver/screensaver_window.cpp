#include "ui/screensaver/screensaver_window.h"

#include "ui/shell/main_panel_dialog.h"

namespace dictora {

ScreensaverWindow::ScreensaverWindow(MainPanelDialog& panel, QWidget* owner)
    : LayeredWindow(owner, Qt::Tool), panel_(panel)
{
    setObjectName(QStringLiteral("screensaver"));
}

ScreensaverWindow::~ScreensaverWindow()
{
    fadeRequested_ = 0;
}

void ScreensaverWindow::SetScreensaverOn(bool on)
{
    screensaverOn_ = on;
    panel_.layoutPanel();
    if (on)
        ShowSolid();
    else
        Redraw(0);
}

void ScreensaverWindow::StartFade()
{
    fadeRequested_ = 1;
    splashStage = 3;
    hide();
    emit splashFinished();
}

void ScreensaverWindow::ShowSolid()
{
    fadeRequested_ = 0;
    Redraw(255);
    show();
}

void ScreensaverWindow::Redraw(int alpha)
{
    setWindowOpacity(alpha / 255.0);
}

} // namespace dictora
