// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace dictora {

// What a Matroska track entry says that GStreamer's demuxer does not pass
// on: whether the track is "forced" (only the signs and foreign-language
// lines of a film, shown even with subtitles off).
struct MatroskaTrackFlags {
    uint64_t number = 0; // TrackNumber, as blocks name their track
    uint64_t type = 0;   // TrackType: 0x11 subtitle
    bool forced = false; // FlagForced
};

inline constexpr uint64_t kMatroskaSubtitleTrack = 0x11;

// How much of a file's head readMatroskaTrackFlags is given: the Tracks
// element stands near the start, before the first Cluster.
inline constexpr qint64 kMatroskaHeadBytes = 1024 * 1024;

// Reads the Tracks element from the head of a Matroska (or WebM) file: the
// EBML header, then the Segment's elements up to Tracks. Only what lies
// within `head` is read, every size checked against it. Empty when there is
// no complete Tracks element before the first Cluster, or the bytes are not
// Matroska or are damaged.
std::vector<MatroskaTrackFlags> readMatroskaTrackFlags(const QByteArray& head);

// The track number GStreamer's Matroska demuxer puts in a stream id
// ("<hash>/002:3141" is track 2); 0 when the id has none.
uint64_t matroskaTrackNumberOfStream(const QString& streamId);

} // namespace dictora
