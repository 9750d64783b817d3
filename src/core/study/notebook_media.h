// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/sentence_table.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace dictora {

// Notebook rows that came from a Unit renamed from oldName to newName, made to
// follow it: their sectionTitle (the Unit's name, by which a ".." media path
// finds Media/<unit>/) becomes newName, and a full media path inside
// mediaFolder + oldName + "/" moves to the same file under newName. Rows of
// other Units are left alone. Returns how many rows changed.
int followRenamedUnit(std::vector<SentenceRow>& notebookRows, const QString& oldName,
                      const QString& newName, const QString& mediaFolder);

// The Notebook file as a rename of one Unit must leave it: its bytes before
// and after. `after` is empty when no row changes (or there is no Notebook
// file yet); `error` says why the Notebook could not be read whole, in which
// case the rename must not go on.
struct NotebookFollow {
    QString path;
    QByteArray before;
    QByteArray after;
    QString error;
};
NotebookFollow notebookAfterRename(const QString& notebookPath, const QString& oldName,
                                   const QString& newName, const QString& mediaFolder);

} // namespace dictora
