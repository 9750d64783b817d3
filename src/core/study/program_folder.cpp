// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/program_folder.h"

#include <QDir>
#include <QFile>
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

void placeDefaultCues(const ProgramFolder& folder, const QString& cueSource)
{
    for (const char* cue : {"Tip.wav", "Error.wav", "Match.wav"}) {
        const QString target = folder.cfgFolder() + QLatin1String(cue);
        // Copies out of resources or a system folder are read-only; the
        // learner owns them.
        if (QFile::copy(cueSource + QLatin1String(cue), target))
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
    }
}

QStringList prepareDataFolders(const ProgramFolder& folder, const QString& cueSource)
{
    const QStringList created = createDataFolders(folder);
    if (created.contains(QStringLiteral("Cfg")))
        placeDefaultCues(folder, cueSource);
    return created;
}

} // namespace dictora
