// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

#include <optional>

namespace dictora {

// Height of the strip the docked dictation form takes across the main panel.
inline constexpr int kDockStripHeight = 192;

// What the placement of the floating windows depends on, all in screen
// coordinates. Kept apart from the widgets so every case can be checked
// without a screen.
struct PanelLayoutInput {
    QSize screen;              // W x H of the primary screen
    QRect panel;               // the main panel's window rectangle (L, T, w, h)
    bool compactLayout = true; // the dictation form floats
    bool dockedAtTop = true;   // when docked: strip at the top
    bool mediaEnlarged = false;
    bool screensaverRunning = false;
    bool dictationFormExists = false;
};

// Where the floating windows go. An empty rectangle means "leave it where it
// is"; formPlacesItself means the floating dictation form runs its own layout.
struct FloatingPlacement {
    bool skipped = true; // nothing is placed (no form yet, or no panel size)
    std::optional<QRect> screensaver;
    std::optional<QRect> mediaWindow;
    std::optional<QRect> dictationForm;
    bool formPlacesItself = false;
};

FloatingPlacement layoutFloating(const PanelLayoutInput& in);

// The sentence list's rectangle in the panel's client coordinates, for a
// panel of the given size.
QRect sentenceListRect(const QSize& panel, bool compactLayout, bool dockedAtTop);

// Width of the sentence list's first column: the panel width less room for
// the scroll bar.
inline int firstColumnWidth(int panelWidth)
{
    return panelWidth - 25;
}

// The side a floating form docks to: the top exactly when its vertical centre
// lies above the panel's.
bool docksAtTop(int formTop, int formHeight, int panelClientTop, int panelHeight);

} // namespace dictora
