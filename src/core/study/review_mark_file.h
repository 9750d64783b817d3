// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/sentence_table.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace dictora {

// Why a sentence row waits for the learner's look: its text was read from a
// subtitle picture, or aligning its recording did not find it (it kept the
// time its subtitle stated).
enum class ReviewReason { ReadFromPicture, NotFoundInRecording };

// The learner's words for a reason (the row's tool tip).
QString reviewReasonText(ReviewReason reason);
// The reason as the marks file and dictora-cli name it.
QString reviewReasonWord(ReviewReason reason);
// "N 句待核对", or empty for none.
QString reviewWaitingText(int count);

// A mark as its file keeps it. The Unit file has no room for marks, so a
// mark names its row by what the row holds: its start, end and text. Rows
// may be inserted, removed or moved around it and it still finds its row.
struct StoredReviewMark {
    uint32_t startMs = 0;
    uint32_t endMs = 0;
    QString text;
    ReviewReason reason = ReviewReason::ReadFromPicture;

    bool operator==(const StoredReviewMark&) const = default;
};

// The marks of the Unit file at unitFilePath live beside it, in
// "." + Unit file name without ".dat" + ".review.json": a name with a leading
// "." is never listed as a Unit, and it ends in no ".dat".
QString reviewMarksPath(const QString& unitFilePath);

QByteArray encodeReviewMarks(const std::vector<StoredReviewMark>& marks);
// Nothing for bytes that are not a marks file (damaged, cut short, another
// file's); a mark of a reason this program does not know is left out.
std::optional<std::vector<StoredReviewMark>> decodeReviewMarks(const QByteArray& bytes);

StoredReviewMark storedMark(const SentenceRow& row, ReviewReason reason);
bool holdsMark(const SentenceRow& row, const StoredReviewMark& mark);

// The reason of each row after matching the marks to the rows: each mark
// goes to the first sentence row holding its times and text that no earlier
// mark took. A mark whose row is gone (edited or deleted elsewhere) marks
// nothing.
std::vector<std::optional<ReviewReason>>
matchReviewMarks(const std::vector<SentenceRow>& rows, const std::vector<StoredReviewMark>& marks);

} // namespace dictora
