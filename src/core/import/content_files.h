// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace dictora {

// ".lrc", ".srt", ".txt", or the subtitle files read like ".srt": ".vtt",
// ".ass" and ".ssa"; compared in lower case from the last ".".
bool IsTextFile(const QString& path);

// The open-file dialog's filter for the text files IsTextFile accepts.
QString textFileFilter();

// ".mp3", ".wav", ".wma", ".mp4", ".avi", ".rm", ".mpeg" or ".mkv", compared
// the same way.
bool IsMediaFile(const QString& path);

// Files that may be dropped on the sentence list: the text files IsTextFile
// and the media files IsMediaFile accept.
bool isDroppableFile(const QString& path);
// The dropped files to add, in the order given: only droppable files, and of
// several with the same base name only one, the first text file among them or
// else the first (a subtitle and its media file are added together, once,
// in either order).
QStringList filesToAdd(const QStringList& paths);

// Files dropped on the sentence list: added only in Edit mode and never to
// the notebook. refusal is the tip that says why nothing is added (empty
// when files are added); files the ones to add, one dialog each.
struct FileDrop {
    QString refusal;
    QStringList files;
};
FileDrop fileDrop(const QStringList& paths, bool editMode, bool isNotebook);

// The file that goes with `fileName` among the names of its folder, given in
// any order: the entry with the same base name (up to the last ".", without
// regard to case) whose kind completes the pair. A text file takes the media
// file of the first extension in kCompanionMediaOrder that is there, a media
// file the text file of the first extension in kCompanionTextOrder. Of names
// that differ only in case the one that sorts first by code point is taken,
// so the answer never depends on the folder's order. Empty when none fits or
// the file is neither text nor media.
QString chooseCompanion(const QString& fileName, const QStringList& folderEntries);

// Audio before video, as the open-file dialog lists them; a text file names
// the sentences, so the audio of a song or lesson is the likelier companion.
inline const QStringList kCompanionMediaOrder = {".mp3", ".wav", ".wma",  ".mp4",
                                                 ".mkv", ".avi", ".mpeg", ".rm"};
// Timed texts before plain text, lyrics before subtitles.
inline const QStringList kCompanionTextOrder = {".lrc", ".srt", ".vtt", ".ass", ".ssa", ".txt"};

// chooseCompanion over the files of `path`'s folder: the full path of the
// companion as it is spelt in the folder, or the empty text.
QString FindCompanionFile(const QString& path);

} // namespace dictora
