// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/unit_names.h"

namespace dictora {

namespace {
const QString kForbidden = QStringLiteral("/\\:*?\"<>|");
}

bool isAcceptableUnitName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'.'))
        return false;
    for (QChar c : name)
        if (kForbidden.contains(c) || c.category() == QChar::Other_Control)
            return false;
    return true;
}

QString unitFileName(const QString& name)
{
    return name + QStringLiteral(".dat");
}

QString unitNameMessage()
{
    return QStringLiteral("单元名不要含有 ") + kForbidden;
}

QString unitExistsMessage(const QString& name)
{
    return name + QStringLiteral(" 单元名已经存在.");
}

} // namespace dictora
