// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/shadow_frame.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace dictora {

namespace {

// A pie of the 2S square whose apex is the inner corner, filled from the
// corner colour at the apex to transparent at the arc. Angles run clockwise
// from the x axis, screen style.
void fillCorner(QPainter& painter, const QRect& square, const QPointF& centre, int startDegrees,
                int sweepDegrees, const QColor& corner, const QColor& outer, int S)
{
    QPainterPath pie(centre);
    pie.arcTo(QRectF(square), -startDegrees, -sweepDegrees);
    pie.closeSubpath();
    // The radius stops half a pixel short so the outermost pixel row is
    // fully transparent, as on the edges.
    QRadialGradient gradient(centre, S - 0.5);
    gradient.setColorAt(0, corner);
    gradient.setColorAt(1, outer);
    painter.fillPath(pie, gradient);
}

// A linear gradient across a band of S pixels, from the colour of the first
// pixel's centre to the colour of the last pixel's centre.
void fillEdge(QPainter& painter, const QRect& band, bool horizontal, const QColor& from,
              const QColor& to)
{
    if (band.isEmpty())
        return;
    QLinearGradient gradient;
    if (horizontal) {
        gradient.setStart(band.left() + 0.5, 0);
        gradient.setFinalStop(band.right() + 0.5, 0);
    } else {
        gradient.setStart(0, band.top() + 0.5);
        gradient.setFinalStop(0, band.bottom() + 0.5);
    }
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.fillRect(band, gradient);
}

} // namespace

void drawShadowFrame(QPainter& painter, const QSize& size, int S, int G)
{
    const int W = size.width();
    const int H = size.height();
    const QColor inner(G, G, G, 250);
    const QColor corner(G, G, G, 245);
    const QColor outer(255, 255, 255, 0);

    painter.save();
    // Edges and corners meet exactly on pixel borders; smoothing would leave
    // faint seams between them.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(S, S, W - 2 * S + 1, H - 2 * S + 1), QColor(128, 128, 128, 192));

    fillEdge(painter, QRect(0, S, S, H - 2 * S), true, outer, inner);
    fillEdge(painter, QRect(W - S, S, S, H - 2 * S), true, inner, outer);
    fillEdge(painter, QRect(S, 0, W - 2 * S, S), false, outer, inner);
    fillEdge(painter, QRect(S, H - S, W - 2 * S, S), false, inner, outer);

    const int D = 2 * S;
    fillCorner(painter, QRect(0, 0, D, D), QPointF(S, S), 179, 92, corner, outer, S);
    fillCorner(painter, QRect(0, H - D, D, D), QPointF(S, H - S), 89, 92, corner, outer, S);
    fillCorner(painter, QRect(W - D, H - D, D, D), QPointF(W - S, H - S), 360, 90, corner, outer,
               S);
    fillCorner(painter, QRect(W - D, 0, D, D), QPointF(W - S, S), 270, 91, corner, outer, S);
    painter.restore();
}

ShadowFrame::ShadowFrame(QWidget* owner)
    : LayeredWindow(owner, Qt::Tool | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
{
    // Zero size at the screen origin until the pop-up is first opened.
    setGeometry(0, 0, 0, 0);
}

void ShadowFrame::surround(const QRect& popup)
{
    const int S = shadowWidth_;
    setGeometry(popup.adjusted(-S, -S, S, S));
    show();
}

void ShadowFrame::resizeEvent(QResizeEvent*)
{
    redraw();
}

void ShadowFrame::redraw()
{
    PushLayeredPicture(this, [this](QPainter& painter, const QSize& size) {
        drawShadowFrame(painter, size, shadowWidth_, grey_);
    });
}

} // namespace dictora
