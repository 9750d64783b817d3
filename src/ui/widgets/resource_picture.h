// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

namespace dictora {

// Resource numbers of the pictures and sounds built into the program.
namespace res {
inline constexpr int kRecordIdle = 202; // WAVE 203 is also the start-of-recording cue
inline constexpr int kRecording = 203;
inline constexpr int kRecordPlaying = 204;
inline constexpr int kRecordPaused = 205;
inline constexpr int kRecordStopped = 206;
inline constexpr int kSoundOn = 225;
inline constexpr int kSoundOff = 226;
inline constexpr int kLayoutFloating = 227;
inline constexpr int kLayoutFixed = 228;
inline constexpr int kNotebookButton = 241;
inline constexpr int kPauseSign = 257;
inline constexpr int kTipBackground = 260;
inline constexpr int kProgramIcon = 128;
inline constexpr int kRecordStartCue = 203;
} // namespace res

// The resource path of a built-in file, e.g. ":/PNG/202" or ":/WAVE/203".
QString resourcePath(int number, const QString& type);

// The path of the picture to draw on a screen of devicePixelRatio: the one
// drawn at twice the pixels where there is one and the screen is scaled.
QString resourcePathForRatio(int number, const QString& type, qreal devicePixelRatio);

// A decoded picture from the program's resources, for the application's
// highest device pixel ratio (see above), or a null image when there
// is no such resource or it cannot be decoded.
QImage LoadResourcePicture(int number, const QString& type = QStringLiteral("PNG"));

// Makes the program's resources (in the widgets library) available; called by the
// functions above, and by the application before it uses a resource path.
void ensureProgramResources();

} // namespace dictora
