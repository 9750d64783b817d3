#pragma once

#include <QString>

namespace dictora {

// ".lrc", ".srt" or ".txt", compared in lower case from the last ".".
bool IsTextFile(const QString& path);

// ".mp3", ".wav", ".wma", ".mp4", ".avi", ".rm", ".mpeg" or ".mkv", compared
// the same way.
bool IsMediaFile(const QString& path);

// The file beside `path` whose name starts with the same name up to the last
// "." (song.lrc for song.mp3): the first other entry of the folder, by name
// without regard to case, or the empty text. Only that first entry counts; the
// caller decides whether it is of the kind wanted. The entry is returned as it
// is spelt in the folder, so the path names a file on case-sensitive systems.
QString FindCompanionFile(const QString& path);

} // namespace dictora
