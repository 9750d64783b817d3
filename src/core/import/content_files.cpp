#include "core/import/content_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringList>

namespace dictora {

namespace {

QString lowerExtension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? QString() : path.mid(dot).toLower();
}

} // namespace

bool IsTextFile(const QString& path)
{
    static const QStringList extensions = {".lrc", ".srt", ".txt", ".vtt", ".ass", ".ssa"};
    return extensions.contains(lowerExtension(path));
}

QString textFileFilter()
{
    return QStringLiteral("(*.lrc *.srt *.txt *.vtt *.ass *.ssa)");
}

bool IsMediaFile(const QString& path)
{
    static const QStringList extensions = {".mp3", ".wav", ".wma",  ".mp4",
                                           ".avi", ".rm",  ".mpeg", ".mkv"};
    return extensions.contains(lowerExtension(path));
}

bool isDroppableFile(const QString& path)
{
    return IsTextFile(path) || IsMediaFile(path);
}

QStringList filesToAdd(const QStringList& paths)
{
    QStringList files;
    QSet<QString> baseNames;
    for (const QString& path : paths) {
        if (!isDroppableFile(path))
            continue;
        const QString name = path.mid(path.lastIndexOf(u'/') + 1);
        const QString base = name.left(name.lastIndexOf(u'.'));
        if (baseNames.contains(base))
            continue;
        baseNames.insert(base);
        files << path;
    }
    return files;
}

QString FindCompanionFile(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot < 0 ? name : name.left(dot);
    QDir folder = info.absoluteDir();
    folder.setFilter(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    folder.setSorting(QDir::Name | QDir::IgnoreCase);
    const QString lowerName = name.toLower();
    for (const QString& entry : folder.entryList()) {
        // The folder's wildcard match: the same name start, without regard to case.
        if (!entry.startsWith(stem, Qt::CaseInsensitive))
            continue;
        if (entry.toLower() != lowerName)
            return folder.filePath(entry);
    }
    return {};
}

} // namespace dictora
