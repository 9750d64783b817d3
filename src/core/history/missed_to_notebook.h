// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/history/study_record.h"
#include "core/study/sentence_table.h"

namespace dictora {

class UnitLibrary;

struct NotebookAddition {
    int added = 0;
    int alreadyThere = 0;
    int notFound = 0; // the Unit or the sentence is gone
    QString error;    // the first failed write
};

// Puts the sentences of missed words into the Sentence Notebook, each with
// its Unit's times and media, as the Notebook item of the open Unit does.
// A sentence is looked up by its text in its Unit (the open Unit from its
// table, any other from its file); sentences no longer there are counted,
// not added. Nothing is added while the Notebook itself is open. openTable
// is the open Unit's sentence table.
NotebookAddition addMissedToNotebook(UnitLibrary& library, const SentenceTable& openTable,
                                     const QList<MissedSentence>& sentences);

} // namespace dictora
