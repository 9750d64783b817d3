// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/import_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace dictora {

namespace {

const QString kTidyKey = QStringLiteral("Import/TidyReading");
const QString kLastFolderKey = QStringLiteral("Import/LastFolder");

QString settingsPath(const ProgramFolder& folder)
{
    return folder.cfgFolder() + QStringLiteral("Import.ini");
}

} // namespace

bool loadTidyReading(const ProgramFolder& folder)
{
    const QSettings settings(settingsPath(folder), QSettings::IniFormat);
    return settings.value(kTidyKey, false).toBool();
}

bool saveTidyReading(const ProgramFolder& folder, bool tidy)
{
    QSettings settings(settingsPath(folder), QSettings::IniFormat);
    settings.setValue(kTidyKey, tidy);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString loadLastFolder(const ProgramFolder& folder)
{
    const QSettings settings(settingsPath(folder), QSettings::IniFormat);
    const QString last = settings.value(kLastFolderKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return QDir::homePath();
}

bool saveLastFolder(const ProgramFolder& folder, const QString& chosenFile)
{
    QSettings settings(settingsPath(folder), QSettings::IniFormat);
    settings.setValue(kLastFolderKey, QFileInfo(chosenFile).absolutePath());
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace dictora
