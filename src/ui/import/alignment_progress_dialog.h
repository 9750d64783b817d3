// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/review_mark_file.h"
#include "platform/alignment/text_file_alignment.h"

#include "ui/import/work_progress_dialog.h"

namespace dictora {

class AlignmentProgressDialog : public WorkProgressDialog {
    Q_OBJECT
public:
    explicit AlignmentProgressDialog(QWidget* owner);

    // Aligns the text file with its media (request.textPath, mediaPath);
    // returns when done or cancelled (status Cancelled).
    TextFileAlignment run(const TextImportRequest& request);
};

// What the add-content dialog does on "确定" with "自动对齐时间" checked:
// aligns with progress. When some sentences were not found: re-timing a
// subtitle keeps them at the time it states, each with its reason in
// `reasons` (parallel to rows) for the learner to set by the waveform; a
// text without times asks whether to import only those found. On success
// fills rows (timed) and notice (what was kept or left out, else empty).
// False when there is nothing to import: cancelled (message empty) or
// refused (message for the learner).
bool alignChosenText(QWidget* owner, const TextImportRequest& request,
                     std::vector<SentenceRow>& rows, QString& message, QString& notice,
                     std::vector<std::optional<ReviewReason>>* reasons = nullptr);

} // namespace dictora
