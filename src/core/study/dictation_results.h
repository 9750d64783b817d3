#pragma once

#include "core/study/progress_pass.h"
#include "core/study/sentence_table.h"
#include "core/study/stamp.h"

namespace dictora {

// The prompt put into text2 when an answer came only after the hints gave it
// away.
inline const QString kAnswerAgainText = QStringLiteral("  Answer again ......");

// The highest hint level at which an accepted answer still counts as known.
inline constexpr int kMaxCountedHintLevel = 3;

// An answer to the sentence at row was accepted. With hintLevel at most 3 a
// row still to study (done "0") rests: done "1", level + 1, studiedAt = now,
// and the typing totals grow by the text's length and the seconds since
// typingStart. With a higher hintLevel the row asks to be answered again and
// loses a level when above 3. Returns true when the Unit must be saved
// (unitModified). Rows out of range and resting rows are left alone.
bool acceptAnswer(SentenceTable& table, int row, int hintLevel, TimeValue now,
                  TimeValue typingStart, StudyTotals& totals);

// Clearing a Unit's record: every row to study again at level 0, studiedAt
// the default stamp.
void clearRecord(SentenceTable& table);

} // namespace dictora
