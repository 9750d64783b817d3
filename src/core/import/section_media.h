// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/sentence_table.h"

#include <QString>

#include <cstdint>

namespace dictora {

// True for a Section title that is only a placeholder: "" or "标题", the title
// of a new Unit's first Section. A media file gives such a Section its title.
bool isPlaceholderTitle(const QString& title);

// The title row of the Section that `row` belongs to: the row itself when it
// is a title row, else the nearest title row above it; kNone when there is none.
int sectionTitleRow(const SentenceTable& table, int row);

// Attaches a media file to a Section, as confirming the add-content dialog
// does: without a Section (titleRow below 0) a new title row is appended at
// the end, titled `title`; a Section still titled "" or "标题" takes `title`.
// The title row gets the path, the file's name and the declared length.
// Returns the title row.
int attachSectionMedia(SentenceTable& table, int titleRow, const QString& title,
                       const QString& mediaPath, uint32_t mediaLengthMs);

// Copies the Section's title and media fields from its title row into each
// of its sentence rows, so every row of the Section plays the same media.
void copySectionFields(SentenceTable& table, int titleRow);

// The title a Section takes from a media file when it has none of its own:
// the file's name without folder and extension.
QString mediaBaseName(const QString& mediaPath);

} // namespace dictora
