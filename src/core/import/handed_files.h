// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace dictora {

// Files handed to the program from outside ("Open with Dictora" in a file
// manager, or `dictora FILE...` in a terminal).

// The files named on the command line (the program's name left out), made
// absolute against currentFolder, in the order given. Options ("-x", "--x")
// are Qt's own and are skipped, with the value of those Qt options that take
// one; "--" ends the options. "file://" URLs become their local paths.
QStringList handedFilesFromArguments(const QStringList& arguments, const QString& currentFolder);

// The message that carries the files to the running copy over the
// single-instance channel, and its reading. A message that is not one (or
// names no file) reads as no files. A message ends with an empty name, so
// the running copy can tell a whole message from one cut short, and answers
// a whole one with kHandedFilesTaken.
QByteArray encodeHandedFiles(const QStringList& paths);
QStringList decodeHandedFiles(const QByteArray& message);
bool isWholeHandedFilesMessage(const QByteArray& message);
inline constexpr char kHandedFilesTaken[] = "dictora-taken\n";

// What the running program does with handed files, as if they had been
// dropped on the sentence list of the open Unit.
struct HandedFilesStep {
    enum class Kind {
        AddContent, // open the add-content dialog with each of `files`
        NotContent, // none of them is a text or media file: refuse
        DialogOpen, // a dialog is open: refuse until it is closed
        NewUnit,    // the Sentence Notebook is open: the files go to a new
                    // Unit named after the first (newUnitNameFor), opened in
                    // Edit mode, with the add-content dialog for each
        NoUnitOpen, // nothing to add to: say where
    };
    Kind kind = Kind::NotContent;
    QStringList files;         // AddContent: the files to add, one per base name
    bool switchToEdit = false; // AddContent: Edit mode is switched on first
    QString tip;               // the one-line tip shown at the study screen
    bool errorCue = false;     // the refusal cue, else the tip cue
};

// The name of the new Unit that handed files go to: the file's base name,
// with the characters a Unit name may not hold (isAcceptableUnitName) turned
// into "_" and leading dots dropped, "新单元" when nothing is left, then
// made unique with " (2)", " (3)", ... while `taken` says a name is in use.
QString newUnitNameFor(const QString& path, const std::function<bool(const QString&)>& taken);

HandedFilesStep planHandedFiles(const QStringList& paths, bool unitOpen, bool isNotebook,
                                bool editMode, bool dialogOpen);

} // namespace dictora
