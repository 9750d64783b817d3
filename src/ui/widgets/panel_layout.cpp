// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/panel_layout.h"

namespace dictora {

namespace {

// The whole screen plus one pixel on every side, so no border shows.
QRect beyondScreen(const QSize& screen)
{
    return {-1, -1, screen.width() + 2, screen.height() + 2};
}

// The docked strip across the whole screen, and what is left beside it for
// the window that covers the rest (screensaver or enlarged media window).
void placeAcrossScreen(const PanelLayoutInput& in, FloatingPlacement& out,
                       std::optional<QRect>& rest)
{
    const int W = in.screen.width();
    const int H = in.screen.height();
    if (in.dockedAtTop) {
        out.dictationForm = QRect(0, 0, W, kDockStripHeight);
        rest = QRect(-1, kDockStripHeight, W + 2, H - kDockStripHeight + 1);
    } else {
        out.dictationForm = QRect(0, H - kDockStripHeight, W, kDockStripHeight);
        rest = QRect(-1, -1, W + 2, H - kDockStripHeight + 1);
    }
}

} // namespace

FloatingPlacement layoutFloating(const PanelLayoutInput& in)
{
    FloatingPlacement out;
    const QRect& p = in.panel;
    if (!in.dictationFormExists || p.width() <= 0 || p.height() <= 0)
        return out;
    out.skipped = false;

    if (in.compactLayout) {
        out.screensaver = in.screensaverRunning ? beyondScreen(in.screen) : p;
        if (in.mediaEnlarged)
            out.mediaWindow = beyondScreen(in.screen);
        out.formPlacesItself = true;
    } else if (in.mediaEnlarged) {
        placeAcrossScreen(in, out, out.mediaWindow);
    } else if (in.screensaverRunning) {
        placeAcrossScreen(in, out, out.screensaver);
    } else if (in.dockedAtTop) {
        // One pixel taller than the strip: its lower edge hides under the
        // screensaver window's top line.
        out.dictationForm = QRect(p.left(), p.top(), p.width(), kDockStripHeight + 1);
        out.screensaver =
            QRect(p.left(), p.top() + kDockStripHeight, p.width(), p.height() - kDockStripHeight);
    } else {
        out.dictationForm =
            QRect(p.left(), p.top() + p.height() - kDockStripHeight, p.width(), kDockStripHeight);
        out.screensaver = QRect(p.left(), p.top(), p.width(), p.height() - kDockStripHeight);
    }
    return out;
}

QRect sentenceListRect(const QSize& panel, bool compactLayout, bool dockedAtTop)
{
    const int w = panel.width();
    const int h = panel.height();
    if (compactLayout)
        return {0, 0, w, h};
    if (dockedAtTop)
        return {0, kDockStripHeight, w, h - kDockStripHeight};
    return {0, 0, w, h - kDockStripHeight};
}

bool docksAtTop(int formTop, int formHeight, int panelClientTop, int panelHeight)
{
    return formTop + formHeight / 2 < panelClientTop + panelHeight / 2;
}

} // namespace dictora
