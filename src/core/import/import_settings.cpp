#include "core/import/import_settings.h"

#include <QSettings>

namespace dictora {

namespace {

const QString kTidyKey = QStringLiteral("Import/TidyReading");

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

} // namespace dictora
