// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/screensaver/allow_list.h"

#include "core/study/legacy_text.h"

#include <QFile>
#include <QFileInfo>

namespace dictora {

AllowList AllowList::fromText(const QByteArray& bytes)
{
    AllowList list;
    // Cut at the end of the last line looked at before decoding: a line end
    // is the byte '\n' in UTF-8 and in the legacy code pages alike.
    qsizetype end = -1;
    for (int line = 0; line < kMostLines; ++line) {
        end = bytes.indexOf('\n', end + 1);
        if (end < 0)
            break;
    }
    const bool cut = end >= 0 && end + 1 < bytes.size();
    list.restIgnored_ = cut;
    const QStringList lines =
        decodeAnsiText(cut ? bytes.first(end + 1) : bytes).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString pattern = line.trimmed().toLower();
        if (pattern.isEmpty())
            continue;
        if (list.patterns_.size() == kSlots) {
            list.restIgnored_ = true;
            break;
        }
        list.patterns_ << pattern;
    }
    return list;
}

AllowList AllowList::load(const QString& path)
{
    // A pipe or a device would block or never end.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.read(kLargestFile);
    const bool longer = !file.atEnd();
    if (longer) // the line cut short at the limit is not a pattern
        bytes.truncate(bytes.lastIndexOf('\n') + 1);
    AllowList list = fromText(bytes);
    list.restIgnored_ = list.restIgnored_ || longer;
    return list;
}

QString AllowList::restIgnoredNote()
{
    return QStringLiteral("App.ini 过长，其余部分已忽略");
}

bool AllowList::allows(const QString& executableName, const QString& className,
                       const QString& title) const
{
    if (className.isEmpty() && title.isEmpty())
        return true;
    const QString key =
        (executableName + QStringLiteral("//") + className + QStringLiteral("//") + title)
            .toLower();
    for (const QString& pattern : patterns_) {
        if (key.contains(pattern))
            return true;
    }
    return false;
}

} // namespace dictora
