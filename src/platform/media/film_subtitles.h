// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/import/track_cues.h"
#include "core/study/sentence_table.h"

#include <QString>

#include <functional>
#include <vector>

namespace dictora {

// Which subtitle tracks of a film become a Section's rows: `track` gives the
// sentences, `secondTrack` (optional) the prompt line `text2`. -1 leaves the
// choice to chooseTracks (the target language, and a Chinese prompt).
struct FilmSubtitleRequest {
    QString path;
    int track = -1;
    int secondTrack = -1;
    // With a track chosen by the learner and no second one given, none is
    // taken; false lets chooseTracks add its Chinese prompt track.
    bool secondTrackChosen = false;
    QString targetLanguage; // ISO 639 code; empty for English
};

struct FilmSubtitleRows {
    bool ok = false;
    bool cancelled = false;
    // The learner's message when !ok; when ok, a note of the pictures
    // skipped as damaged, or empty.
    QString message;
    int track = -1;
    int secondTrack = -1;
    std::vector<SentenceRow> rows;
    // The sentences were read from pictures by OCR and want the learner's look.
    bool fromPictures = false;
};

// Progress of a long reading (OCR of picture subtitles): the part done from
// 0 to 1; returning false cancels.
using FilmProgress = std::function<bool(double done)>;

// Reads the chosen tracks and makes their rows, each a copy of `blank` with
// its times and texts. A film without subtitle tracks, a damaged container, a
// track of an unknown codec, a track that shows no text: !ok with the
// learner's message.
FilmSubtitleRows readFilmSubtitleRows(const FilmSubtitleRequest& request, const SentenceRow& blank,
                                      const FilmProgress& progress = {});

} // namespace dictora
