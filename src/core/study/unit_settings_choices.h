// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/unit_file.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace dictora {

// The choices of the unit settings dialog and how they map to a Unit's
// header fields.

// The review frequency list, in its order; position p means
// reviewFrequency 3 - p.
QStringList frequencyChoices();
// The count-unit list: position 0 counts sentences, 1 Sections.
QStringList countUnitChoices();
// The Sentence Notebook is reviewed often and counts sentences only: its
// lists keep just their first entry.
inline constexpr int kNotebookChoiceCount = 1;

// Position of a review frequency in the full list; -1 for a value the list
// does not offer (a damaged header), so that nothing is selected.
int frequencyPosition(int32_t reviewFrequency, int choicesShown);
// The header value of a list position, or the current value when nothing is
// selected (position -1): a header is never given a frequency the review
// does not know.
int32_t reviewFrequencyAt(int position, int32_t current);
int countUnitPosition(int32_t newPerDayUnit, int choicesShown);
int32_t newPerDayUnitAt(int position, int32_t current);

// The count as the dialog shows it: "%.2f".
QString newPerDayText(float newPerDay);
// Reads the count box as a 32-bit float. Blanks around the number are
// allowed; an empty box, a lone point, a negative number or one too large
// for a float gives nothing.
std::optional<float> parseNewPerDay(const QString& text);
// Shown when the count box does not hold a number; nothing is saved.
QString newPerDayMessage();

} // namespace dictora
