// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import/work_progress_dialog.h"

#include "ui/import/dialog_units.h"
#include "ui/widgets/screen_places.h"

#include <QDateTime>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <thread>

namespace dictora {

namespace {

QString timeLeftText(qint64 ms)
{
    const qint64 seconds = (ms + 999) / 1000;
    if (seconds >= 60)
        return QStringLiteral("剩余约 %1 分 %2 秒").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("剩余约 %1 秒").arg(seconds);
}

} // namespace

WorkProgressDialog::WorkProgressDialog(QWidget* owner, const QString& objectName,
                                       const QString& title, const QString& barName,
                                       const QString& barFormat)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(objectName);
    setModal(true);
    setFont(dialogFont());
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(barName);
    bar_->setRange(0, 100);
    bar_->setFormat(barFormat);
    timeLeft_ = new QLabel(QStringLiteral("正在估计剩余时间..."), this);
    timeLeft_->setObjectName(QStringLiteral("timeLeft"));
    cancelButton_ = new QPushButton(QStringLiteral("取消"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    layout->addWidget(bar_);
    layout->addWidget(timeLeft_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    setMinimumWidth(360);
    keepFramedOnScreen(this);
    timer_ = new QTimer(this);
    timer_->setInterval(200);
    connect(timer_, &QTimer::timeout, this, &WorkProgressDialog::refresh);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

WorkProgressDialog::~WorkProgressDialog() = default;

bool WorkProgressDialog::runWork(const std::function<void(const Report&)>& work)
{
    permille_ = 0;
    cancelled_ = false;
    finished_ = false;
    startedMs_ = QDateTime::currentMSecsSinceEpoch();
    std::thread worker([this, &work] {
        work([this](double done) {
            permille_ = int(done * 1000);
            return !cancelled_.load();
        });
        finished_ = true;
    });
    bar_->setValue(0);
    timer_->start();
    const bool accepted = exec() == QDialog::Accepted;
    timer_->stop();
    if (!accepted)
        cancelled_ = true;
    worker.join();
    return accepted;
}

void WorkProgressDialog::refresh()
{
    if (finished_) {
        bar_->setValue(100);
        accept();
        return;
    }
    const int permille = permille_;
    bar_->setValue(permille / 10);
    const qint64 elapsed = QDateTime::currentMSecsSinceEpoch() - startedMs_;
    if (permille >= 20)
        timeLeft_->setText(timeLeftText(elapsed * (1000 - permille) / permille));
}

} // namespace dictora
