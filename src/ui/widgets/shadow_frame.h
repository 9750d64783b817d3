// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/widgets/layered_window.h"

namespace dictora {

// Draws the soft shadow around a rectangle of the given size: a translucent
// grey centre, edges that fade from the inner colour to fully transparent at
// the outside, and round corners that do the same.
void drawShadowFrame(QPainter& painter, const QSize& size, int shadowWidth, int grey);

// The soft shadow frame around the unit library pop-up. It never takes the
// mouse: clicks reach the windows below it.
class ShadowFrame : public LayeredWindow {
    Q_OBJECT
public:
    explicit ShadowFrame(QWidget* owner);

    int shadowWidth() const { return shadowWidth_; }
    void setShadowWidth(int width) { shadowWidth_ = width; }
    int grey() const { return grey_; }
    void setGrey(int level) { grey_ = level; }

    // Surrounds a screen rectangle (the pop-up) with the shadow and shows the
    // frame without taking the focus.
    void surround(const QRect& popup);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void redraw();

    int shadowWidth_ = 10;
    int grey_ = 128;
};

} // namespace dictora
