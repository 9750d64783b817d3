// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/notebook_media.h"

#include "core/study/unit_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

namespace dictora {

int followRenamedUnit(std::vector<SentenceRow>& notebookRows, const QString& oldName,
                      const QString& newName, const QString& mediaFolder)
{
    const QString oldFolder = mediaFolder + oldName + u'/';
    const QString newFolder = mediaFolder + newName + u'/';
    int changed = 0;
    for (SentenceRow& row : notebookRows) {
        if (row[SectionTitle] != oldName)
            continue;
        row[SectionTitle] = newName;
        if (row[MediaPath].startsWith(oldFolder))
            row[MediaPath] = newFolder + row[MediaPath].mid(oldFolder.size());
        ++changed;
    }
    return changed;
}

NotebookFollow notebookAfterRename(const QString& notebookPath, const QString& oldName,
                                   const QString& newName, const QString& mediaFolder)
{
    NotebookFollow follow;
    follow.path = notebookPath;
    QFile file(notebookPath);
    if (!file.exists())
        return follow;
    const QString shown = QDir::toNativeSeparators(notebookPath);
    if (file.size() > kUnitFileSizeLimit) {
        follow.error = unitTooLargeMessage(notebookPath);
        return follow;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        follow.error = QStringLiteral("cannot read %1: %2; it is left as it is")
                           .arg(shown, file.errorString());
        return follow;
    }
    follow.before = file.readAll();
    QByteArray bytes = follow.before;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    UnitReadResult notebook = readUnit(buffer, true);
    if (!notebook.readWhole()) {
        // Rewriting would drop what lies past the damage; the scan at the
        // next start keeps a copy of it first.
        follow.error =
            QStringLiteral("cannot read %1: the file is damaged; it is left as it is").arg(shown);
        return follow;
    }
    if (followRenamedUnit(notebook.rows, oldName, newName, mediaFolder) > 0)
        follow.after = encodeUnit(notebook.header, notebook.rows, true);
    return follow;
}

} // namespace dictora
