#include "core/screensaver/allow_list.h"

#include "core/study/legacy_text.h"

#include <QFile>

namespace dictora {

AllowList AllowList::fromText(const QByteArray& bytes)
{
    AllowList list;
    const QStringList lines = decodeAnsiText(bytes).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString pattern = line.trimmed().toLower();
        if (pattern.isEmpty())
            continue;
        if (list.patterns_.size() == kSlots)
            break;
        list.patterns_ << pattern;
    }
    return list;
}

AllowList AllowList::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromText(file.readAll());
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
