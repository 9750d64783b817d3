// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli new: a Unit as the settings dialog's add mode creates it.
#include "cli/cli_command.h"
#include "cli/study_context.h"

#include <cmath>

namespace dictora::cli {

namespace {

int parseChoice(const QString& text, const QString& option, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        throw UsageError{QStringLiteral("%1 must be %2 to %3, not '%4'")
                             .arg(option, QString::number(low), QString::number(high), text)};
    return value;
}

int runNew(QStringList args)
{
    ProgramFolder folder = takeProgramFolder(args);
    const TimeValue now = takeNow(args);
    UnitHeader header = kNewUnitHeader;
    const QString frequency = takeOption(args, QStringLiteral("--frequency"));
    if (!frequency.isEmpty())
        header.reviewFrequency = parseChoice(frequency, QStringLiteral("--frequency"), 1, 3);
    const QString perDay = takeOption(args, QStringLiteral("--per-day"));
    if (!perDay.isEmpty()) {
        bool ok = false;
        header.newPerDay = perDay.toFloat(&ok);
        if (!ok || !std::isfinite(header.newPerDay) || header.newPerDay < 0)
            throw UsageError{
                QStringLiteral("--per-day must be a number from 0, not '%1'").arg(perDay)};
    }
    const QString perUnit = takeOption(args, QStringLiteral("--per-unit"));
    if (!perUnit.isEmpty())
        header.newPerDayUnit = parseChoice(perUnit, QStringLiteral("--per-unit"), 0, 1);
    if (args.size() != 1)
        throw UsageError{QStringLiteral("wants one Unit name")};
    const QString name = args.takeFirst();

    StudyContext context(std::move(folder), now);
    context.library.listDataFolder();
    const UnitResult result = context.library.createUnit(name, header);
    if (!result.ok) {
        const QString unreadable = unreadableUnitReason(context, name);
        throw UsageError{unreadable.isEmpty()
                             ? result.message
                             : result.message + QStringLiteral(" (") + unreadable + u')'};
    }
    printJson({{"created", name}, {"path", context.library.unitFilePath()}});
    return 0;
}

const CommandRegistration registration{
    {QStringLiteral("new"),
     QStringLiteral("new NAME [--frequency 1|2|3] [--per-day X] [--per-unit 0|1]   create a Unit"),
     runNew}};

} // namespace

} // namespace dictora::cli
