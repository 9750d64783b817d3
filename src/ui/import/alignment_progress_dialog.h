// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/alignment/text_file_alignment.h"

#include <QDialog>

#include <atomic>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace dictora {

// The modal progress of "自动对齐时间": the alignment runs on a worker
// thread while the dialog shows the percentage and the time left, refreshed
// five times a second; "取消" stops the work, and nothing is changed.
//
// Threading: the worker writes only the atomics below; the dialog reads
// them on its timer and takes the result once the worker has finished.
class AlignmentProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit AlignmentProgressDialog(QWidget* owner);
    ~AlignmentProgressDialog() override;

    // Aligns the text file with its media (request.textPath, mediaPath);
    // returns when done or cancelled (status Cancelled).
    TextFileAlignment run(const TextImportRequest& request);

    QProgressBar* progressBar() const { return bar_; }
    QLabel* timeLeftLabel() const { return timeLeft_; }
    QPushButton* cancelButton() const { return cancelButton_; }

private:
    void refresh();

    QProgressBar* bar_ = nullptr;
    QLabel* timeLeft_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QTimer* timer_ = nullptr;
    std::atomic<int> permille_{0};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    qint64 startedMs_ = 0;
};

// What the add-content dialog does on "确定" with "自动对齐时间" checked:
// aligns with progress; when some sentences were not found, asks whether to
// import only those found. On success fills rows (timed) and notice (how
// many were left out, else empty). False when there is nothing to import: cancelled (message empty)
// or refused (message for the learner).
bool alignChosenText(QWidget* owner, const TextImportRequest& request,
                     std::vector<SentenceRow>& rows, QString& message, QString& notice);

} // namespace dictora
