// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace dictora {

// One member of a zip archive, read from a file when it is packed.
struct ArchiveMember {
    QString name;         // in the archive
    QString sourcePath;   // the file it holds
    bool compress = true; // false for what is compressed already (Ogg)
};

// Packs members into a zip archive with libzip and puts it at path through
// a new temporary file beside it and a rename, so that path holds the whole
// archive or what it held before, and a link at path is replaced, never
// written through. False with error on the first failing step.
bool writeArchive(const QString& path, const QList<ArchiveMember>& members, QString* error);

} // namespace dictora
