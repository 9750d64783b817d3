// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli rename: a new name for a Unit, as the settings dialog gives it.
#include "cli/cli_command.h"
#include "cli/study_context.h"

namespace dictora::cli {

namespace {

int runRename(QStringList args)
{
    ProgramFolder folder = takeProgramFolder(args);
    const TimeValue now = takeNow(args);
    if (args.size() != 2)
        throw UsageError{QStringLiteral("wants OLD and NEW names")};
    const QString oldName = args.at(0);
    const QString newName = args.at(1);

    StudyContext context(std::move(folder), now);
    openListedUnit(context, oldName);
    const UnitResult result = context.library.renameOpenUnit(newName);
    if (!result.ok)
        throw UsageError{result.message};
    printJson({{"renamed", oldName}, {"to", newName}, {"path", context.library.unitFilePath()}});
    return 0;
}

const CommandRegistration registration{{QStringLiteral("rename"),
                                        QStringLiteral("rename OLD NEW   give a Unit a new name"),
                                        runRename}};

} // namespace

} // namespace dictora::cli
