// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/start_unit.h"

#include <QSettings>

#include <algorithm>

namespace dictora {

namespace {

const QString kLastUnitKey = QStringLiteral("Start/LastUnit");

QString settingsPath(const ProgramFolder& folder)
{
    return folder.cfgFolder() + QStringLiteral("Start.ini");
}

} // namespace

QString loadLastUnit(const ProgramFolder& folder)
{
    const QSettings settings(settingsPath(folder), QSettings::IniFormat);
    return settings.value(kLastUnitKey).toString();
}

bool saveLastUnit(const ProgramFolder& folder, const QString& unitName)
{
    QSettings settings(settingsPath(folder), QSettings::IniFormat);
    if (settings.value(kLastUnitKey).toString() == unitName)
        return true;
    settings.setValue(kLastUnitKey, unitName);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

int startUnitPosition(const QStringList& unitNames, const QString& firstStartUnit,
                      bool notebookHasDue, const QString& lastUnit)
{
    // Position 0 is the Notebook: a kept name never leads back to it.
    const auto listed = [&](const QString& name) {
        const qsizetype at = name.isEmpty() ? -1 : unitNames.indexOf(name);
        return at > 0 ? int(at) : -1;
    };
    if (const int first = listed(firstStartUnit); first > 0)
        return first;
    if (notebookHasDue)
        return 0;
    return std::max(0, listed(lastUnit));
}

} // namespace dictora
