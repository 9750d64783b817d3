// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/import/parsed_rows.h"
#include "core/import/subtitle_track.h"

#include <QByteArray>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace dictora {

// One cue of a subtitle track as the demuxer gives it: its times and its
// payload in the codec's own form (for picture codecs, the text OCR read).
struct SubtitleCue {
    uint32_t startMs = 0;
    uint32_t endMs = 0;
    QString payload;
};

// The lines a cue shows, tidied to the words a learner types: SubRip,
// mov_text and OCR text by TidyText line by line, WebVTT the same, an ASS/SSA
// block ("ReadOrder,Layer,Style,Name,MarginL,MarginR,MarginV,Effect,Text" in
// Matroska) by its Text field with override blocks removed and \N breaks.
QStringList cueLines(SubtitleCodec codec, const QString& payload);

// Mends what OCR of subtitle pictures misreads for certain: a capital I
// alone (or before an apostrophe, "I'm") comes back as "|", which no
// subtitle line holds.
QString mendOcrLine(const QString& line);

// The rows of a track's cues, each a copy of `blank` with the cue's times;
// its lines go to `text` and `text2` by the subtitle script rule. Cues that
// show nothing give no row. Sorted by start time.
ParsedRows rowsFromCues(const std::vector<SubtitleCue>& cues, SubtitleCodec codec,
                        const SentenceRow& blank);

// Gives each cue of a second track to the row it overlaps most in time (the
// first of equal ones), whose `text2` takes its lines joined by blanks after
// a blank, as the subtitle line rule places them. A cue
// that overlaps no row is dropped. `rows` carry their times in `timings`.
void pairSecondTrack(ParsedRows& rows, const std::vector<SubtitleCue>& cues, SubtitleCodec codec);

} // namespace dictora
