// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QMutex>
#include <QString>

namespace dictora {

// Exact media lengths. Span times are scaled by the real length, so a length
// that is estimated (a variable-bitrate MP3 without a Xing/Info header, whose
// length GStreamer guesses from the first frames' bitrate) would move every
// span. Such files are scanned once; the result is kept per file (path, size
// and modification time), so reopening costs nothing.
class MediaLengthCache {
public:
    // The length in nanoseconds of the file at path, given what the
    // pipeline reported (-1 when it could not tell). -1 when unknown.
    qint64 lengthNs(const QString& path, qint64 reportedNs);

private:
    QMutex mutex_; // files may be opened on several threads
    QHash<QString, qint64> known_;
};

// Decodes the whole file as fast as possible and returns the end time of its
// last audio sample, or -1. Used only when nothing else states the length.
qint64 scanDecodedLengthNs(const QString& path);

} // namespace dictora
