// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/import/subtitle_track.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace dictora {

// The subtitle streams of a film (Matroska/WebM or MP4/QuickTime), read by
// the container's demuxer. The demuxers pass no forced flag on; a Matroska
// file's own Tracks element gives it (`forcedKnown`), an MP4's stays
// unknown. Only subtitle pads are linked: no picture or sound is parsed or
// decoded, so the time taken follows the number of blocks, not the video's
// bit rate.
struct SubtitleTrackList {
    bool ok = false;
    QString message; // the learner's message when !ok
    std::vector<SubtitleTrack> tracks;
};
SubtitleTrackList listSubtitleTracks(const QString& path);

// One block of a subtitle stream: its presentation time and its bytes as the
// demuxer gives them. endMs is the start plus the block's duration, or
// kNoEnd when the block has none (many picture subtitles).
struct DemuxedCue {
    static constexpr uint32_t kNoEnd = UINT32_MAX;
    uint32_t startMs = 0;
    uint32_t endMs = kNoEnd;
    QByteArray data;
};

struct DemuxedTrack {
    bool ok = false;
    QString message;
    SubtitleTrack track;
    QByteArray codecData; // the stream's codec_data (an ASS header, a VobSub palette)
    std::vector<DemuxedCue> cues;
};

// Every block of the subtitle track `index` (SubtitleTrack::index).
DemuxedTrack readSubtitleTrack(const QString& path, int index);

} // namespace dictora
