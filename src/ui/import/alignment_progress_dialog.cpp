// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import/alignment_progress_dialog.h"

#include "ui/import/dialog_units.h"

#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace dictora {

AlignmentProgressDialog::AlignmentProgressDialog(QWidget* owner)
    : WorkProgressDialog(owner, QStringLiteral("alignmentProgressDialog"),
                         QStringLiteral("自动对齐时间"), QStringLiteral("alignmentProgress"),
                         QStringLiteral("正在对齐时间: %p%"))
{
}

TextFileAlignment AlignmentProgressDialog::run(const TextImportRequest& request)
{
    TextFileAlignment result;
    const bool done = runWork([&](const Report& report) {
        result = alignTextFile(request, {}, RetimeChoice::Auto, report);
    });
    if (!done) {
        result = {};
        result.status = TextFileAlignment::Status::Cancelled;
    }
    return result;
}

bool alignChosenText(QWidget* owner, const TextImportRequest& request,
                     std::vector<SentenceRow>& rows, QString& message, QString& notice,
                     std::vector<std::optional<ReviewReason>>* reasons)
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
    // A sentence not found in a text without times has no time to give:
    // the learner imports only the sentences found, or nothing.
    const std::vector<AlignedSentence>& sentences = aligned.media.sentences;
    const int found = foundCount(sentences);
    if (found > 0 && found < int(sentences.size()) && aligned.text.retime && reasons) {
        // Re-timed, a sentence not found keeps the time its subtitle states:
        // it is imported, marked for the learner to set by the waveform.
        reasons->assign(aligned.text.rows.size(), std::nullopt);
        for (size_t k = 0; k < sentences.size() && k < aligned.text.spokenRows.size(); ++k)
            if (!sentences[k].found)
                (*reasons)[size_t(aligned.text.spokenRows[k])] = ReviewReason::NotFoundInRecording;
        notice = QStringLiteral("在录音里有 %1 句没有找到 (共 %2 句): 它们保留了字幕里的时间, "
                                "标了橙色; 请在编辑模式下按波形设定时间.")
                     .arg(int(sentences.size()) - found)
                     .arg(sentences.size());
    } else if (found < int(sentences.size())) {
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
