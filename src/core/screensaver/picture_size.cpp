// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/screensaver/picture_size.h"

namespace dictora {

bool isPictureRefused(const QSize& picture)
{
    return picture.isEmpty() || qint64(picture.width()) * picture.height() > kMostPicturePixels;
}

QSize pictureDecodeSize(const QSize& picture, const QSize& screen)
{
    if (screen.isEmpty())
        return picture;
    return picture.boundedTo(screen);
}

} // namespace dictora
