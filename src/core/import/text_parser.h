// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/sentence_table.h"

#include <QByteArray>
#include <QString>

#include <limits>
#include <vector>

class QIODevice;

namespace dictora {

// How a file's lines are read: lyric, subtitle and plain lines mixed (.lrc,
// .srt, .txt and anything else), WebVTT (.vtt) or ASS/SSA (.ass, .ssa).
enum class TextFormat { Lines, WebVtt, Ass };

// The format by the file's extension, in any case.
TextFormat textFormatOf(const QString& path);

struct TextParseOptions {
    TextFormat format = TextFormat::Lines;
    // Tidy reading, the learner's choice: markup and lyric tags stripped,
    // one sentence per time tag in time order, [offset:] applied, and the
    // two languages of a subtitle told apart by Unicode script.
    bool tidy = false;
    QByteArray codePage; // for "ANSI" lines that are not UTF-8; empty: the default
    // Reading stops after this many rows and the result says so.
    size_t maxRows = std::numeric_limits<size_t>::max();
};

struct ParsedText {
    std::vector<SentenceRow> rows;
    QString title;            // a lyric file's [ti:] under tidy reading, else empty
    bool tooManyRows = false; // more than maxRows: `rows` holds only the first
};

// Turns every line of an open text file into sentence rows, each a copy of
// `blank` with its times and texts. Lines format, read literally: no format
// is chosen up front; each trimmed, non-blank line is a lyric line (it holds
// "[" and "]"), the index line of a subtitle block (digits only: the time
// line and the text lines follow), the time line of a subtitle block without
// index (at the start of the file or after a blank line, "-->" between two
// time points), or a plain line. One call is one file: the primary script of
// two-language subtitles is decided afresh.
ParsedText parseText(QIODevice& file, const QString& label, const SentenceRow& blank,
                     const TextParseOptions& options);

// The rows of the Lines format read literally, in the default code page.
std::vector<SentenceRow> parseTextLines(QIODevice& file, const QString& label,
                                        const SentenceRow& blank);

} // namespace dictora
