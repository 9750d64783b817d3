// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <cstdint>
#include <utility>
#include <vector>

namespace dictora {

// The picture of one PGS (Blu-ray) display set as ink on paper: each pixel
// 0 (ink) to 255 (paper), made from the palette's brightness times its
// opacity, so light letters with a dark outline become dark letters on a
// light ground. Only the box around the composition's objects is kept.
struct InkPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // row by row, width * height
    bool empty() const { return width == 0 || height == 0; }
};

// Reads one display set as Matroska stores it (segments of type, 16-bit
// size and data; the "PG" header with times is not there) and draws the
// objects its composition shows. A set that shows nothing (the one that
// clears the screen), and a damaged one, give an empty picture.
InkPicture decodePgsDisplaySet(const QByteArray& block);

// The part of a picture that holds ink (below `threshold`), with `margin`
// pixels of paper around it; empty when there is no ink.
InkPicture cropToInk(const InkPicture& picture, uint8_t threshold, int margin);

// The lines of text of a picture as [top, bottom) row bands that together
// cover it, each reaching halfway into the paper towards its neighbours.
// Ink thinner than `thinnest` rows (the dots of a lone "i", the strokes of
// a "二" on a line of its own) belongs to the nearer neighbouring line.
std::vector<std::pair<int, int>> inkLineBands(const InkPicture& picture, uint8_t threshold,
                                              int thinnest);

} // namespace dictora
