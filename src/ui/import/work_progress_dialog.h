// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <atomic>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace dictora {

// A modal dialog with a bar, the time left and 取消, while a piece of work
// runs on a thread of its own. The work reports how far it is (0..1) and
// learns from the answer whether to go on; the dialog closes when it ends.
class WorkProgressDialog : public QDialog {
    Q_OBJECT
public:
    // The work's report: how far it is; false asks it to stop.
    using Report = std::function<bool(double)>;

    WorkProgressDialog(QWidget* owner, const QString& objectName, const QString& title,
                       const QString& barName, const QString& barFormat);
    ~WorkProgressDialog() override;

    QProgressBar* progressBar() const { return bar_; }
    QLabel* timeLeftLabel() const { return timeLeft_; }
    QPushButton* cancelButton() const { return cancelButton_; }

protected:
    // Runs `work` on a thread of its own and waits for it with the dialog
    // shown; false when the learner cancelled (the work has stopped then).
    bool runWork(const std::function<void(const Report&)>& work);

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
