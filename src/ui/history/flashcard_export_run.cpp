// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/history/flashcard_export_run.h"

#include "core/export/flashcard_export.h"
#include "core/study/file_replacement.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "core/study/unit_names.h"
#include "ui/history/flashcard_export_dialog.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/screen_places.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QStandardPaths>

namespace dictora {

FlashcardExportRun::FlashcardExportRun(StudyPanel& panel, QString target, PackageCards cards)
    : QObject(&panel), panel_(panel), target_(std::move(target)), cards_(cards)
{
    connect(&process_, &QProcess::readyReadStandardOutput, this, &FlashcardExportRun::readProgress);
    connect(&process_, &QProcess::finished, this, &FlashcardExportRun::processEnded);
}

FlashcardExportRun::~FlashcardExportRun()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

QString FlashcardExportRun::cliPath()
{
    const QString named = qEnvironmentVariable("DICTORA_CLI");
    if (!named.isEmpty())
        return named;
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {here.filePath(QStringLiteral("dictora-cli")),
                                     here.filePath(QStringLiteral("../cli/dictora-cli"))})
        if (QFileInfo(candidate).isExecutable())
            return QDir::cleanPath(candidate);
    return QStandardPaths::findExecutable(QStringLiteral("dictora-cli"));
}

bool FlashcardExportRun::start(bool force)
{
    UnitLibrary* library = panel_.services().library;
    if (!library || library->unitFilePath().isEmpty()) {
        message_ = QStringLiteral("没有打开的单元");
        return false;
    }
    const QString program = cliPath();
    if (program.isEmpty()) {
        message_ = QStringLiteral("找不到 dictora-cli, 无法导出");
        return false;
    }
    // The export reads the Unit file: what was just studied must be in it.
    if (panel_.state().unitModified && library->SaveUnit())
        panel_.services().session.rowsSaved();
    QStringList cards;
    if (cards_.dictation)
        cards << QStringLiteral("dictation");
    if (cards_.recall)
        cards << QStringLiteral("recall");
    QStringList args{
        QStringLiteral("export"),     library->unitName(),      target_,
        QStringLiteral("--progress"), QStringLiteral("--home"), panel_.services().folder.path};
    if (!cards.isEmpty())
        args << QStringLiteral("--cards") << cards.join(u',');
    if (library->isNotebook())
        args << QStringLiteral("--notebook");
    if (force)
        args << QStringLiteral("--force");
    cancelled_ = succeeded_ = wouldReplace_ = false;
    message_.clear();
    pending_.clear();
    result_ = {};

    if (!progress_) {
        progress_ = new QProgressDialog(QStringLiteral("正在导出 %1 ...").arg(library->unitName()),
                                        QStringLiteral("取消"), 0, 0, &panel_);
        progress_->setObjectName(QStringLiteral("exportProgress"));
        progress_->setWindowTitle(QStringLiteral("导出"));
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        progress_->setMinimumDuration(0);
        keepFramedOnScreen(progress_, panel_.window());
        connect(progress_, &QProgressDialog::canceled, this, &FlashcardExportRun::cancel);
    }
    progress_->setRange(0, 0);
    progress_->setValue(0);
    progress_->show();
    process_.start(program, args);
    return true;
}

void FlashcardExportRun::cancel()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    cancelled_ = true;
    process_.kill();
}

void FlashcardExportRun::readProgress()
{
    pending_ += process_.readAllStandardOutput();
    static const QRegularExpression line(QStringLiteral("^progress (\\d+)/(\\d+)$"));
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
        const QString text = QString::fromUtf8(pending_.left(end)).trimmed();
        pending_.remove(0, end + 1);
        const QRegularExpressionMatch match = line.match(text);
        if (match.hasMatch() && progress_) {
            progress_->setMaximum(match.captured(2).toInt());
            progress_->setValue(match.captured(1).toInt());
        } else if (text.startsWith(u'{')) {
            result_ = QJsonDocument::fromJson(text.toUtf8()).object();
        }
    }
}

void FlashcardExportRun::processEnded(int exitCode, QProcess::ExitStatus status)
{
    readProgress();
    const QString errors = QString::fromUtf8(process_.readAllStandardError()).trimmed();
    if (progress_)
        progress_->hide();
    if (cancelled_) {
        // What was being written when the export ended stays under the
        // writer's temporary names (a package's clips in such a folder);
        // they go with the export. Links are never followed.
        const QDir out(targetFolder());
        removeTemporaryFiles(out.path());
        for (const QFileInfo& info :
             out.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks))
            if (isTemporaryFileName(info.fileName()))
                QDir(info.absoluteFilePath()).removeRecursively();
        message_ = QStringLiteral("导出已取消");
    } else if (status == QProcess::NormalExit && exitCode == 0) {
        succeeded_ = true;
        message_ = summary(result_);
    } else {
        wouldReplace_ = errors.contains(QStringLiteral("exists already"));
        message_ = QStringLiteral("导出失败: %1").arg(errors.section(u'\n', -1));
    }
    emit finished();
}

QString FlashcardExportRun::targetFolder() const
{
    const QFileInfo info(target_);
    return target_.endsWith(QStringLiteral(".apkg"), Qt::CaseInsensitive) ? info.absolutePath()
                                                                          : target_;
}

QString FlashcardExportRun::summary(const QJsonObject& result) const
{
    const SentenceTable& table = panel_.services().sentences;
    // The sentences themselves, as the learner knows them: a few, elided.
    const auto named = [&](const char* key) {
        QStringList texts;
        const QJsonArray rows = result[QLatin1String(key)].toArray();
        for (const QJsonValue& row : rows) {
            if (texts.size() == 3) {
                texts << QStringLiteral("…");
                break;
            }
            const int index = row.toInt(-1);
            const QString text = index >= 0 && index < table.rowCount()
                                     ? table.field(index, Text).trimmed()
                                     : QString();
            texts << QStringLiteral("“%1”").arg(text.size() > 24 ? text.left(23) + u'…' : text);
        }
        return texts.join(QStringLiteral(", "));
    };
    const QString where = result.contains(QStringLiteral("apkg"))
                              ? result[QStringLiteral("apkg")].toString()
                              : targetFolder();
    QString text = QStringLiteral("已导出到 %1").arg(QDir::toNativeSeparators(where));
    if (const int shortClips = result[QStringLiteral("short")].toInt(); shortClips > 0)
        text += QStringLiteral("\n%1 句的片段比句子短 (媒体文件提前结束, 可能已损坏): %2")
                    .arg(shortClips)
                    .arg(named("shortRows"));
    if (const int spoken = result[QStringLiteral("spoken")].toInt(); spoken > 0)
        text += QStringLiteral("\n%1 句没有可用的媒体, 由语音朗读: %2")
                    .arg(spoken)
                    .arg(named("spokenRows"));
    return text;
}

void exportOpenUnit(StudyPanel& panel)
{
    FlashcardExportDialog choice(&panel);
    if (choice.exec() != QDialog::Accepted)
        return;
    QString target;
    if (choice.package()) {
        const QString suggested =
            QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                .filePath(safeFileName(panel.services().library
                                           ? panel.services().library->unitName()
                                           : QString()) +
                          QStringLiteral(".apkg"));
        // The export asks itself before it replaces a file.
        target = QFileDialog::getSaveFileName(&panel, QStringLiteral("导出卡包"), suggested,
                                              QStringLiteral("Anki 卡包 (*.apkg)"), nullptr,
                                              QFileDialog::DontConfirmOverwrite);
        if (!target.isEmpty() && !target.endsWith(QStringLiteral(".apkg"), Qt::CaseInsensitive))
            target += QStringLiteral(".apkg");
    } else {
        target = QFileDialog::getExistingDirectory(&panel, QStringLiteral("导出到文件夹"));
    }
    if (target.isEmpty())
        return;
    auto* run = new FlashcardExportRun(panel, target, choice.cards());
    QObject::connect(run, &FlashcardExportRun::finished, &panel, [run, &panel] {
        if (run->wouldReplace() &&
            QMessageBox::question(
                &panel, QStringLiteral("导出"),
                QStringLiteral("已有同名文件, 要覆盖吗?\n%1").arg(run->message())) ==
                QMessageBox::Yes) {
            run->start(true);
            return;
        }
        QMessageBox::information(&panel, QStringLiteral("导出"), run->message());
        run->deleteLater();
    });
    if (!run->start()) {
        QMessageBox::information(&panel, QStringLiteral("导出"), run->message());
        run->deleteLater();
    }
}

} // namespace dictora
