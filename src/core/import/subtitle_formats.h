// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/import/parsed_rows.h"

namespace dictora {

class TextLineSource;

// The cues of a WebVTT file: the WEBVTT header block, NOTE, STYLE and REGION
// blocks are skipped; a cue is an optional identifier line, the time line
// (hours optional, settings after the times ignored) and its text lines, from
// which tags and entities are stripped. Each cue with text gives one row; its
// lines go to `text` and `text2` by the script rule (by Unicode script under
// tidy reading).
void parseWebVtt(TextLineSource& source, const SentenceRow& blank, bool tidy, ParsedRows& out);

// The events of an ASS/SSA file: the Format line of [Events] says which
// columns hold the start, the end and the text (the last column, which may
// hold commas); each Dialogue line with text gives one row, Comment lines and
// other sections none. Override blocks and drawings are removed, \N breaks
// the text into lines for the script rule. The rows are sorted by start time.
void parseAss(TextLineSource& source, const SentenceRow& blank, bool tidy, ParsedRows& out);

} // namespace dictora
