// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli units: the start-up scan of the Data folder, then the list.
#include "cli/cli_command.h"
#include "cli/study_context.h"

#include <QJsonArray>

namespace dictora::cli {

namespace {

int runUnits(QStringList args)
{
    ProgramFolder folder = takeProgramFolder(args);
    const TimeValue now = takeNow(args);
    expectNoMoreArguments(args);

    StudyContext context(std::move(folder), now);
    UnitLibrary& library = context.library;
    library.ScanDataFolder();
    library.OpenUnit(0);
    library.UpdateTotal();

    QJsonArray units;
    for (int position = 0; position < library.unitCount(); ++position)
        units.append(QJsonObject{{"position", position},
                                 {"name", library.unitNames().at(position)},
                                 {"percent", library.percentTextAt(position)}});
    printJson({{"units", units}, {"totalPercent", library.totalPercentText()}});
    // One line for each thing that went wrong, however many steps met it.
    context.failures.removeDuplicates();
    for (const QString& failure : context.failures)
        printError(QStringLiteral("dictora-cli units: ") + failure);
    return context.failures.isEmpty() ? 0 : 1;
}

const CommandRegistration registration{
    {QStringLiteral("units"),
     QStringLiteral("units [--now YYYYmmddHHMMSS]   scan, review and save every Unit; list them"),
     runUnits}};

} // namespace

} // namespace dictora::cli
