// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

#include <cstdint>

namespace dictora {

// What the media player needs of the window that shows video: whether it is
// shown, its size, and the number that names the surface in the open command.
class VideoSurface {
public:
    virtual ~VideoSurface() = default;

    // Shows the window without taking the focus.
    virtual void showVideo() = 0;
    // Hides the window and leaves the enlarged (full-screen) layout.
    virtual void hideVideo() = 0;
    virtual bool isVideoShown() const = 0;
    virtual QSize windowSize() const = 0;
    // Given as the "Parent" number of the open command.
    virtual uint32_t surfaceId() const = 0;
};

} // namespace dictora
