// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/media/film_subtitles.h"

#include <QDialog>

#include <atomic>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace dictora {

// The modal progress of reading a film's subtitle tracks, long when picture
// subtitles are read by OCR: the reading runs on a worker thread while the
// dialog shows the percentage and the time left; "取消" stops it, and
// nothing is changed.
//
// Threading: the worker writes only the atomics below; the dialog reads
// them on its timer and takes the result once the worker has finished.
class FilmReadingDialog : public QDialog {
    Q_OBJECT
public:
    explicit FilmReadingDialog(QWidget* owner);
    ~FilmReadingDialog() override;

    // Reads the rows; returns when done or cancelled (`cancelled` set).
    FilmSubtitleRows run(const FilmSubtitleRequest& request, const SentenceRow& blank);

    QProgressBar* progressBar() const { return bar_; }
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

} // namespace dictora
