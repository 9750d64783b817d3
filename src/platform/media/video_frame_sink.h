// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>

namespace dictora {

// Where the video of a media device goes. The window that shows video
// registers one under the number it passes as "Parent %u" in the open
// command; every method is called on the user-interface thread.
class VideoFrameSink {
public:
    virtual ~VideoFrameSink() = default;

    // A decoded frame, newest first; frames that arrive while the previous one
    // is still waiting to be shown are dropped.
    virtual void presentFrame(const QImage& frame) = 0;
    // "Put ALIAS Window At x y w h": the area of the surface the video fills.
    virtual void placeVideo(const QRect& area) { Q_UNUSED(area); }
    // The device showing video here was closed.
    virtual void clearVideo() {}
};

} // namespace dictora
