// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace dictora {

// The folder that holds Data, Backup, Cfg, Record and Media. Every path of the
// program is this folder plus a relative name such as "Data/".
struct ProgramFolder {
    // The path, always ending in "/".
    QString path;

    QString file(const QString& relative) const { return path + relative; }
    QString dataFolder() const { return path + QStringLiteral("Data/"); }
    QString backupFolder() const { return path + QStringLiteral("Backup/"); }
    QString cfgFolder() const { return path + QStringLiteral("Cfg/"); }
    QString recordFolder() const { return path + QStringLiteral("Record/"); }
    QString mediaFolder() const { return path + QStringLiteral("Media/"); }
};

// The path with a "/" at its end, added when missing.
QString withTrailingSlash(QString path);

// Where the program folder is: DICTORA_HOME when set; else the executable's
// folder when it already holds a Data folder (a portable copy); else
// $XDG_DATA_HOME/dictora (~/.local/share/dictora).
ProgramFolder locateProgramFolder(const QString& executableDir);

// The five data folders, in the order they are created.
QStringList dataFolderNames();

// Creates whichever of the five folders is missing (and the program folder
// itself). Something that is in the way (a file named Data) is left alone:
// later file operations then fail without losing data. Returns the names of
// the folders created by this call, so the caller can furnish a new Cfg.
QStringList createDataFolders(const ProgramFolder& folder);

// The default sound cues ("Tip.wav", "Error.wav", "Match.wav"), copied from
// cueSource (a folder or a resource prefix, ending in "/") into Cfg, which
// createDataFolders has just made. The copies belong to the learner, who may
// replace or remove them later; a cue already there is kept.
void placeDefaultCues(const ProgramFolder& folder, const QString& cueSource);

// createDataFolders, then the default cues when Cfg was made by it, as the
// program and dictora-cli both do when they find a program folder missing
// parts: whichever of them comes first, the folder ends up the same.
QStringList prepareDataFolders(const ProgramFolder& folder, const QString& cueSource);

} // namespace dictora
