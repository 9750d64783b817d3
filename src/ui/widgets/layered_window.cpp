// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/layered_window.h"

#include "platform/desktop/compositing.h"
#include "ui/widgets/dialog_colours.h"

#include <QPainter>

namespace dictora {

LayeredWindow::LayeredWindow(QWidget* owner, Qt::WindowFlags flags)
    : QWidget(owner, flags | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
{
    opaque_ = !compositingActive();
    surroundings_ = kDialogBackground;
    if (!opaque_)
        setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    if (flags.testFlag(Qt::WindowTransparentForInput))
        setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LayeredWindow::setPicture(QImage picture)
{
    picture_ = std::move(picture);
    update();
}

void LayeredWindow::setSurroundings(const QColor& colour)
{
    if (colour == surroundings_)
        return;
    surroundings_ = colour;
    update();
}

void LayeredWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool fits = picture_.deviceIndependentSize().toSize() == size();
    if (opaque_) {
        painter.fillRect(rect(), surroundings_);
        if (fits)
            painter.drawImage(0, 0, picture_);
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (fits)
        painter.drawImage(0, 0, picture_);
    else
        painter.fillRect(rect(), Qt::transparent);
}

QImage drawLayeredPicture(const QSize& size, const DrawRoutine& draw, qreal pixelRatio)
{
    if (size.isEmpty())
        return {};
    // At the screen's own pixel density, so that text outlines and edges stay
    // sharp on a scaled desktop; the drawing itself is in window pixels.
    const qreal ratio = pixelRatio > 0 ? pixelRatio : 1.0;
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                           QPainter::TextAntialiasing);
    draw(painter, size);
    return image;
}

void PushLayeredPicture(LayeredWindow* window, const DrawRoutine& draw)
{
    if (window)
        window->setPicture(drawLayeredPicture(window->size(), draw, window->devicePixelRatioF()));
}

} // namespace dictora
