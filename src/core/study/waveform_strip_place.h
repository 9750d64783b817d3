// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>

#include <optional>

namespace dictora {

// Where the waveform strip of the current row goes, in the list's viewport.
struct WaveformStripPlaceInput {
    QRect row;          // the current row as the list draws it
    QRect view;         // the viewport's own rectangle
    int left = 0;       // the strip's left edge (the text column)
    int right = 0;      // where the rows' drawing ends
    int height = 0;     // the strip's height
    QList<QRect> covered; // windows floating over the list (the dictation form)
};

// Under the row; over it where under would leave the list or lie beneath a
// floating window and over would not. Nothing while the row is out of view.
std::optional<QRect> waveformStripPlace(const WaveformStripPlaceInput& in);

} // namespace dictora
