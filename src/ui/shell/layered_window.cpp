#include "ui/shell/layered_window.h"

#include <QPainter>

namespace dictora {

LayeredWindow::LayeredWindow(QWidget* owner, Qt::WindowFlags flags)
    : QWidget(owner, flags | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
{
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

void LayeredWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (picture_.size() == size())
        painter.drawImage(0, 0, picture_);
    else
        painter.fillRect(rect(), Qt::transparent);
}

QImage drawLayeredPicture(const QSize& size, const DrawRoutine& draw)
{
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
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
        window->setPicture(drawLayeredPicture(window->size(), draw));
}

} // namespace dictora
