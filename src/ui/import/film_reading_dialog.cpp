// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import/film_reading_dialog.h"

#include "ui/import/dialog_units.h"

#include <QDateTime>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <thread>

namespace dictora {

FilmReadingDialog::FilmReadingDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("filmReadingDialog"));
    setModal(true);
    setFont(dialogFont());
    setWindowTitle(QStringLiteral("读取视频字幕"));
    auto* layout = new QVBoxLayout(this);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("filmReadingProgress"));
    bar_->setRange(0, 100);
    bar_->setFormat(QStringLiteral("正在读取字幕: %p%"));
    timeLeft_ = new QLabel(QStringLiteral("正在估计剩余时间..."), this);
    cancelButton_ = new QPushButton(QStringLiteral("取消"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    layout->addWidget(bar_);
    layout->addWidget(timeLeft_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    setMinimumWidth(360);
    timer_ = new QTimer(this);
    timer_->setInterval(200);
    connect(timer_, &QTimer::timeout, this, &FilmReadingDialog::refresh);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

FilmReadingDialog::~FilmReadingDialog() = default;

FilmSubtitleRows FilmReadingDialog::run(const FilmSubtitleRequest& request,
                                        const SentenceRow& blank)
{
    permille_ = 0;
    cancelled_ = false;
    finished_ = false;
    startedMs_ = QDateTime::currentMSecsSinceEpoch();
    FilmSubtitleRows result;
    std::thread worker([this, request, blank, &result] {
        result = readFilmSubtitleRows(request, blank, [this](double done) {
            permille_ = int(done * 1000);
            return !cancelled_.load();
        });
        finished_ = true;
    });
    bar_->setValue(0);
    timer_->start();
    const int answer = exec();
    timer_->stop();
    if (answer != QDialog::Accepted)
        cancelled_ = true;
    worker.join();
    if (answer != QDialog::Accepted) {
        result = {};
        result.cancelled = true;
    }
    return result;
}

void FilmReadingDialog::refresh()
{
    if (finished_) {
        bar_->setValue(100);
        accept();
        return;
    }
    const int permille = permille_;
    bar_->setValue(permille / 10);
    const qint64 elapsed = QDateTime::currentMSecsSinceEpoch() - startedMs_;
    if (permille >= 20) {
        const qint64 seconds = (elapsed * (1000 - permille) / permille + 999) / 1000;
        timeLeft_->setText(
            seconds >= 60 ? QStringLiteral("剩余约 %1 分 %2 秒").arg(seconds / 60).arg(seconds % 60)
                          : QStringLiteral("剩余约 %1 秒").arg(seconds));
    }
}

} // namespace dictora
