// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/resource_picture.h"

#include <QFile>
#include <QGuiApplication>

// Q_INIT_RESOURCE must be used outside any namespace. The resources live in a
// static library, so they are registered on first use.
static void initDictoraResources()
{
    Q_INIT_RESOURCE(dictora);
}

namespace dictora {

void ensureProgramResources()
{
    static const bool done = [] {
        initDictoraResources();
        return true;
    }();
    (void)done;
}

QString resourcePath(int number, const QString& type)
{
    ensureProgramResources();
    return QStringLiteral(":/%1/%2").arg(type).arg(number);
}

QString resourcePathForRatio(int number, const QString& type, qreal devicePixelRatio)
{
    const QString path = resourcePath(number, type);
    // Above 1.5 device pixels a point, halving the picture drawn at twice the
    // pixels is sharper than stretching the plain one.
    if (devicePixelRatio > 1.5) {
        const QString sharp = path + QStringLiteral("@2x");
        if (QFile::exists(sharp))
            return sharp;
    }
    return path;
}

QImage LoadResourcePicture(int number, const QString& type)
{
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const QString path = resourcePathForRatio(number, type, ratio);
    if (!QFile::exists(path))
        return {};
    QImage picture(path);
    if (picture.isNull())
        return {};
    // Every caller draws the picture into a rectangle of its plain size, so
    // the sharper one is drawn at the same place and size.
    if (path.endsWith(QStringLiteral("@2x")))
        picture.setDevicePixelRatio(2.0);
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace dictora
