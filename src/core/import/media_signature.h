// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace dictora {

// The first bytes a file's kind can be told from.
inline constexpr int kMediaSignatureBytes = 16;

// True when `head`, a file's first bytes, opens a media container or a
// compressed sound stream rather than text: Matroska/WebM (EBML), MP4 and
// QuickTime ("ftyp", "moov", "mdat" boxes), RIFF (WAV, AVI), Ogg, FLAC, ASF
// (WMA, WMV), MPEG program streams, RealMedia and MP3 (an ID3 tag or a frame
// sync). Text in any encoding begins otherwise: the checks look for bytes
// that no text line starts with.
bool looksLikeMedia(const QByteArray& head);

// The containers whose subtitle tracks can be read.
enum class MediaContainer { Matroska, Mp4, Other };
MediaContainer containerOf(const QByteArray& head);

// looksLikeMedia on the first bytes of the file; false when it cannot be read.
bool fileLooksLikeMedia(const QString& path);

// The learner's message for a media file given where a text file belongs.
QString mediaAsTextRefusal(const QString& baseName);

} // namespace dictora
