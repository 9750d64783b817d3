// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/progress_pass.h"
#include "core/study/stamp.h"

#include <QByteArrayView>

#include <optional>

namespace dictora {

// The start-up scan loads, reviews and saves every Unit, and for most Units
// on most days that changes nothing. This looks at the bytes alone, without
// building a row: when loading them (with the daily review as of now) and
// saving would write back exactly these bytes, it returns the figures of that
// save-and-progress pass; the file need not be loaded or written. It returns
// nothing as soon as anything would change (a review moves a sentence, an
// endMs is to be filled in, a string is in the older 8-bit form or not in
// the writer's shortest form, a stamp that local time cannot give back, the
// file is damaged or lacks the format mark): the caller then loads and saves
// the Unit the ordinary way.
std::optional<ProgressFigures> unchangedUnitFigures(QByteArrayView bytes, bool isNotebook,
                                                    TimeValue now, const StudyTotals& totals);

} // namespace dictora
