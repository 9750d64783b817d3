// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/missed_to_notebook.h"

#include "core/study/progress_pass.h"
#include "core/study/unit_file.h"
#include "core/study/unit_library.h"
#include "core/study/unit_names.h"

#include <map>
#include <memory>

namespace dictora {

NotebookAddition addMissedToNotebook(UnitLibrary& library, const SentenceTable& openTable,
                                     const QList<MissedSentence>& sentences)
{
    NotebookAddition result;
    std::map<QString, std::unique_ptr<SentenceTable>> units;
    for (const MissedSentence& missed : sentences) {
        if (missed.unit == kNotebookName) {
            ++result.alreadyThere;
            continue;
        }
        if (!units.count(missed.unit)) {
            auto loaded = std::make_unique<SentenceTable>();
            SentenceTable& table = *loaded;
            if (missed.unit == library.unitName() && !library.isNotebook()) {
                table.replaceAll(std::vector<SentenceRow>(openTable.rows()));
            } else {
                UnitReadResult read = readUnitFile(library.unitPath(missed.unit), false);
                table.replaceAll(std::move(read.rows));
            }
            // Sentence rows carry their Section's media only after this pass.
            runProgressPass(table, kNewUnitHeader, false, 0, {});
            units.emplace(missed.unit, std::move(loaded));
        }
        const SentenceTable& table = *units.at(missed.unit);
        int found = -1;
        for (int row = 0; row < table.rowCount() && found < 0; ++row)
            if (!table.isTitleRow(row) && table.field(row, Text) == missed.sentence)
                found = row;
        if (found < 0) {
            ++result.notFound;
            continue;
        }
        switch (library.addRowToNotebook(table.row(found), missed.unit)) {
        case UnitLibrary::NotebookAdd::Added:
            ++result.added;
            break;
        case UnitLibrary::NotebookAdd::AlreadyThere:
            ++result.alreadyThere;
            break;
        case UnitLibrary::NotebookAdd::Nothing:
            result.error = QStringLiteral("生句本正在打开, 请先打开其他单元");
            return result;
        case UnitLibrary::NotebookAdd::Failed:
            result.error = library.lastError();
            return result;
        }
    }
    return result;
}

} // namespace dictora
