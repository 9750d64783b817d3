// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/import/section_choice.h"

#include <QString>

namespace dictora {

// The add-content dialog's line of what was chosen, by file name only:
// "文本: song.srt    影音: song.mp3"; empty before anything was chosen.
QString chosenFilesLine(const SectionChoice& choice);

// True when a lyric or subtitle file holds what the tidy reading removes:
// lyric tag lines ("[ti:...]", "[by:...]") or markup in its text (<i>,
// {\an8}, &nbsp;). Reads the first lines only; a file that cannot be read has
// none.
bool textHasTagsOrMarkup(const QString& path);

// The line under the tidy-reading box: says that the chosen text has tags or
// markup and suggests the box while it is clear; empty otherwise. The choice
// stays the learner's.
QString tidySuggestion(bool hasTagsOrMarkup, bool tidyChecked);

} // namespace dictora
