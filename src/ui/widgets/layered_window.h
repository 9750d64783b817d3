// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include <functional>

namespace dictora {

// A frameless top-level window whose whole look, soft edges and see-through
// parts included, is one picture with per-pixel alpha. It does not paint
// itself from state: its owner pushes a new picture whenever something
// changes (PushLayeredPicture). Without a compositing manager see-through
// pixels would show black: the window is then drawn opaque, its picture over
// the colour of what surrounds it (the study screen's, unless set).
class LayeredWindow : public QWidget {
    Q_OBJECT
public:
    // flags: the window type and hints beyond frameless (e.g. Qt::Tool,
    // Qt::WindowTransparentForInput for windows the mouse passes through).
    LayeredWindow(QWidget* owner, Qt::WindowFlags flags);

    // The picture last pushed, as it is on the screen.
    const QImage& picture() const { return picture_; }
    void setPicture(QImage picture);
    // The colour under the window where nothing composites it.
    void setSurroundings(const QColor& colour);
    bool drawnOpaque() const { return opaque_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    bool opaque_ = false;
    QColor surroundings_;
};

using DrawRoutine = std::function<void(QPainter& painter, const QSize& size)>;

// Draws the window's whole picture at its current size into a transparent
// ARGB image, with anti-aliasing and smooth scaling, and hands it to the
// window. Does nothing when the window is gone or has no size.
void PushLayeredPicture(LayeredWindow* window, const DrawRoutine& draw);

// The same drawing step without a window, for a picture of any size.
// pixelRatio: device pixels per window pixel (the image keeps it).
QImage drawLayeredPicture(const QSize& size, const DrawRoutine& draw, qreal pixelRatio = 1.0);

} // namespace dictora
