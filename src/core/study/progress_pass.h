// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/sentence_table.h"
#include "core/study/stamp.h"
#include "core/study/unit_file.h"

#include <QString>

#include <cstdint>

namespace dictora {

// Characters of sentences answered correctly and seconds spent on them during
// this run, over all Units: the basis of the time estimate. Never stored.
struct StudyTotals {
    int64_t studyChars = 0;
    int64_t studySeconds = 0;
};

// The progress texts of the open Unit.
struct ProgressTexts {
    QString unitPercentText; // "57%"
    QString progressLine;    // "已经完成: 4 行 / 共: 7 行"
    QString estimateText;    // "估时 - 00:03:20" or "估时 - 未知"
};

// The counts of one save-and-progress pass and what they mean for the texts.
struct ProgressFigures {
    int rowCount = 0;
    int doneRows = 0;
    int sentenceRows = 0; // of any state; 0 for a Unit of titles only or none
    int todayNew = 0;
    int todayDone = 0;
    int todayTotal = 0;
    int64_t todayDoneChars = 0;
    int64_t todayTotalChars = 0;
    // Last row of today's workload (the row where the quota closed), or the
    // last row when it never closed; kNone for an empty Unit.
    int quotaEndRow = -1000;
    int percent = 0; // the completion entry, 0 to 100
    ProgressTexts texts;
};

// The counting of the pass, fed the rows in order: a title row with the
// position of the next title row (or the row count), a sentence row with its
// done, level, text length in UTF-16 code units and whether it was studied
// today. The table's pass and the start-up scan's look at the bytes (which
// builds no rows) count through this one class.
class ProgressCounter {
public:
    ProgressCounter(const UnitHeader& header, int rowCount);
    void titleRow(int row, int nextTitleRow);
    // Rows below the point where today's quota closed only add to doneRows:
    // quotaOpen() tells the caller whether the other values are looked at.
    bool quotaOpen() const { return quotaOpen_; }
    void sentenceRow(int row, int done, int level, int64_t textLength, bool studiedToday);
    ProgressFigures finish(const StudyTotals& totals);

private:
    ProgressFigures f_;
    float newPerDay_;
    bool countSections_;
    // Floats, as the quota is a float and fractions of Sections add up.
    float sectionsDone_ = 0.0f;
    float sectionShare_ = 0.0f;
    int curTitle_ = 0;
    int next_ = 0;
    bool quotaOpen_ = true;
};

// The in-memory half of SaveUnit, one walk over the rows: refreshes the
// copies of fields 8 to 11 on sentence rows (not in the Sentence Notebook),
// fills an endMs of 0 from the next sentence's startMs, and counts today's
// workload under the Unit's new-per-day quota. Returns the figures and the
// texts; the caller writes the records.
ProgressFigures runProgressPass(SentenceTable& table, const UnitHeader& header, bool isNotebook,
                                TimeValue now, const StudyTotals& totals);

// "%H:%M:%S" of a span in seconds, hours within one day.
QString clockSpanText(int64_t seconds);

} // namespace dictora
