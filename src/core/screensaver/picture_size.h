// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QtGlobal>

namespace dictora {

// The size rules for the learner's screensaver pictures. A picture is
// stretched over the screen, so decoding more pixels than the screen has
// only costs time and memory; and a picture of a few megabytes may declare
// billions of pixels (a "picture bomb").

// Larger pictures are refused without being decoded.
constexpr qint64 kMostPicturePixels = 100'000'000;

// Whether a picture of this size is refused: above the limit, or of no size
// at all (its header cannot be read).
bool isPictureRefused(const QSize& picture);

// The size to decode a picture at for a screen (or window) of this size: no
// larger than the picture itself on either side, nor than the screen. An
// empty screen leaves the picture's own size.
QSize pictureDecodeSize(const QSize& picture, const QSize& screen);

} // namespace dictora
