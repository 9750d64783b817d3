#include "core/study/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace dictora {

QString withTrailingSlash(QString path)
{
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

ProgramFolder locateProgramFolder(const QString& executableDir)
{
    const QString home = qEnvironmentVariable("DICTORA_HOME");
    if (!home.isEmpty())
        return {withTrailingSlash(QDir(home).absolutePath())};
    if (!executableDir.isEmpty() && QFileInfo(QDir(executableDir).filePath("Data")).isDir())
        return {withTrailingSlash(QDir(executableDir).absolutePath())};
    QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (xdg.isEmpty())
        xdg = QDir::homePath() + QStringLiteral("/.local/share");
    return {withTrailingSlash(QDir(xdg).absoluteFilePath(QStringLiteral("dictora")))};
}

QStringList dataFolderNames()
{
    return {QStringLiteral("Data"), QStringLiteral("Backup"), QStringLiteral("Cfg"),
            QStringLiteral("Record"), QStringLiteral("Media")};
}

QStringList createDataFolders(const ProgramFolder& folder)
{
    QDir().mkpath(folder.path);
    QStringList created;
    for (const QString& name : dataFolderNames()) {
        const QString path = folder.path + name;
        if (QFileInfo::exists(path))
            continue; // a folder already, or a file in the way: leave it
        if (QDir().mkdir(path))
            created << name;
    }
    return created;
}

} // namespace dictora
