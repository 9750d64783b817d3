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

// True when the text file gives its sentences times of their own (a lyric's
// time tags, a subtitle's time lines), read as the import reads its first
// lines. A plain text without any leaves every sentence at 00:00.
bool textHasTimes(const QString& path);

// The line that suggests "自动对齐时间" for a text without times while the
// box is offered (a media file is there to listen to) and clear; empty
// otherwise.
QString alignmentSuggestion(bool textHasTimes, bool alignOffered, bool alignChecked);

} // namespace dictora
