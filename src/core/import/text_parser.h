#pragma once

#include "core/study/sentence_table.h"

#include <QString>

#include <vector>

class QIODevice;

namespace dictora {

// Turns every line of an open text file into sentence rows. No format is
// chosen up front: each trimmed, non-blank line is a lyric line (it holds "["
// and "]"), the index line of a subtitle block (digits only: the time line
// and the text lines follow), or a plain line. Each row starts as a copy of
// `blank` and receives its times and texts. One call is one file: the primary
// script of two-language subtitles is decided afresh.
std::vector<SentenceRow> parseTextLines(QIODevice& file, const QString& label,
                                        const SentenceRow& blank);

} // namespace dictora
