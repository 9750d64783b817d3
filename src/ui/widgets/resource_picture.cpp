// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/resource_picture.h"

#include <QFile>

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

QImage LoadResourcePicture(int number, const QString& type)
{
    const QString path = resourcePath(number, type);
    if (!QFile::exists(path))
        return {};
    QImage picture(path);
    if (picture.isNull())
        return {};
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace dictora
