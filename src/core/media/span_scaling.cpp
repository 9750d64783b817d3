// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/span_scaling.h"

namespace dictora {

bool isAudioPath(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    const QString extension = (dot < 0 ? path : path.mid(dot + 1)).toLower();
    return extension == u"wav" || extension == u"mp3" || extension == u"wma" ||
           extension.size() < 2;
}

} // namespace dictora
