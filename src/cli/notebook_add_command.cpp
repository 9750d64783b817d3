// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli notebook-add: one sentence of a Unit into the Sentence Notebook.
#include "cli/cli_command.h"
#include "cli/study_context.h"

namespace dictora::cli {

namespace {

int runNotebookAdd(QStringList args)
{
    ProgramFolder folder = takeProgramFolder(args);
    const TimeValue now = takeNow(args);
    if (args.size() != 2)
        throw UsageError{QStringLiteral("wants a Unit name and a row number")};
    const QString name = args.at(0);
    const int row = parseIndex(args.at(1), QStringLiteral("ROW"));

    StudyContext context(std::move(folder), now);
    openListedUnit(context, name);
    if (row >= context.table.rowCount())
        throw UsageError{
            QStringLiteral("'%1' has no row %2 (it has %3)")
                .arg(name, QString::number(row), QString::number(context.table.rowCount()))};
    if (context.table.isTitleRow(row))
        throw UsageError{QStringLiteral("row %1 is a title row").arg(row)};
    context.state.currentRow = row;
    switch (context.library.AddToNotebook()) {
    case UnitLibrary::NotebookAdd::Added:
        printJson({{"added", true}});
        return 0;
    case UnitLibrary::NotebookAdd::AlreadyThere:
        printJson({{"added", false}, {"reason", "a sentence with this text is in the Notebook"}});
        return 0;
    case UnitLibrary::NotebookAdd::Nothing:
        printJson({{"added", false}, {"reason", "the Notebook's own sentences are not added"}});
        return 0;
    case UnitLibrary::NotebookAdd::Failed:
        break;
    }
    printError(QStringLiteral("dictora-cli notebook-add: ") + context.library.lastError());
    return 1;
}

const CommandRegistration registration{
    {QStringLiteral("notebook-add"),
     QStringLiteral("notebook-add NAME ROW   add a sentence to the Sentence Notebook"),
     runNotebookAdd}};

} // namespace

} // namespace dictora::cli
