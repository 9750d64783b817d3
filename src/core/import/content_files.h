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
// several with the same base name only the first (a subtitle and its media
// file are added together, once).
QStringList filesToAdd(const QStringList& paths);

// The file beside `path` whose name starts with the same name up to the last
// "." (song.lrc for song.mp3): the first other entry of the folder, by name
// without regard to case, or the empty text. Only that first entry counts; the
// caller decides whether it is of the kind wanted. The entry is returned as it
// is spelt in the folder, so the path names a file on case-sensitive systems.
QString FindCompanionFile(const QString& path);

} // namespace dictora
