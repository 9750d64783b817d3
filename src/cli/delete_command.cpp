// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli delete: removes a Unit file, as the settings dialog's delete
// button does (its timed backup stays in Backup/).
#include "cli/cli_command.h"
#include "cli/study_context.h"

namespace dictora::cli {

namespace {

int runDelete(QStringList args)
{
    ProgramFolder folder = takeProgramFolder(args);
    const TimeValue now = takeNow(args);
    if (args.size() != 1)
        throw UsageError{QStringLiteral("wants one Unit name")};
    const QString name = args.at(0);

    StudyContext context(std::move(folder), now);
    openListedUnit(context, name);
    const UnitResult result = context.library.deleteOpenUnit();
    if (!result.ok)
        throw UsageError{result.message};
    printJson({{"deleted", name}});
    return 0;
}

const CommandRegistration registration{
    {QStringLiteral("delete"), QStringLiteral("delete NAME   delete a Unit"), runDelete}};

} // namespace

} // namespace dictora::cli
