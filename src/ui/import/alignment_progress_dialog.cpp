// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import/alignment_progress_dialog.h"

#include "ui/import/dialog_units.h"
#include "ui/widgets/screen_places.h"

#include <QDateTime>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
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

AlignmentProgressDialog::AlignmentProgressDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("alignmentProgressDialog"));
    setModal(true);
    setFont(dialogFont());
    setWindowTitle(QStringLiteral("自动对齐时间"));
    auto* layout = new QVBoxLayout(this);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("alignmentProgress"));
    bar_->setRange(0, 100);
    bar_->setFormat(QStringLiteral("正在对齐时间: %p%"));
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
    connect(timer_, &QTimer::timeout, this, &AlignmentProgressDialog::refresh);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

AlignmentProgressDialog::~AlignmentProgressDialog() = default;

TextFileAlignment AlignmentProgressDialog::run(const TextImportRequest& request)
{
    permille_ = 0;
    cancelled_ = false;
    finished_ = false;
    startedMs_ = QDateTime::currentMSecsSinceEpoch();
    TextFileAlignment result;
    std::thread worker([this, request, &result] {
        result = alignTextFile(request, {}, RetimeChoice::Auto, [this](double done) {
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
        result.status = TextFileAlignment::Status::Cancelled;
    }
    return result;
}

void AlignmentProgressDialog::refresh()
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

bool alignChosenText(QWidget* owner, const TextImportRequest& request,
                     std::vector<SentenceRow>& rows, QString& message, QString& notice)
{
    AlignmentProgressDialog progress(owner);
    TextFileAlignment aligned = progress.run(request);
    message.clear();
    notice.clear();
    switch (aligned.status) {
    case TextFileAlignment::Status::Aligned:
        break;
    case TextFileAlignment::Status::Cancelled:
        return false;
    case TextFileAlignment::Status::Unreadable:
        message = unreadableTextMessage(request.textPath);
        return false;
    case TextFileAlignment::Status::Refused:
        message = aligned.message;
        return false;
    }
    // A sentence not found has no time to give: the learner imports only
    // the sentences found, or nothing.
    const std::vector<AlignedSentence>& sentences = aligned.media.sentences;
    const int found = foundCount(sentences);
    if (found < int(sentences.size())) {
        if (found == 0) {
            message = notAllFoundMessage(sentences);
            return false;
        }
        QMessageBox question(QMessageBox::Question, owner ? owner->windowTitle() : QString(),
                             notAllFoundMessage(sentences), QMessageBox::NoButton, owner);
        question.setObjectName(QStringLiteral("notAllFoundQuestion"));
        QPushButton* partial = question.addButton(QStringLiteral("只导入找到的 %1 句").arg(found),
                                                  QMessageBox::AcceptRole);
        partial->setObjectName(QStringLiteral("importFoundButton"));
        question.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        question.setDefaultButton(partial);
        question.exec();
        if (question.clickedButton() != partial)
            return false;
        keepFoundRows(aligned.text, sentences);
        notice =
            QStringLiteral("只导入了找到的 %1 句 (共 %2 句).").arg(found).arg(sentences.size());
    }
    rows = std::move(aligned.text.rows);
    return true;
}

} // namespace dictora
