// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/history/flashcard_export_run.h"

#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "core/study/unit_names.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/screen_places.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QStandardPaths>

namespace dictora {

FlashcardExportRun::FlashcardExportRun(StudyPanel& panel, QString outDir)
    : QObject(&panel), panel_(panel), outDir_(std::move(outDir))
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
    QStringList args{QStringLiteral("export"), library->unitName(), outDir_,
                     QStringLiteral("--progress"), QStringLiteral("--home"),
                     panel_.services().folder.path};
    if (library->isNotebook())
        args << QStringLiteral("--notebook");
    if (force)
        args << QStringLiteral("--force");
    cancelled_ = succeeded_ = wouldReplace_ = false;
    message_.clear();
    pending_.clear();

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
        // A clip being written when the export ended stays a hidden
        // temporary file; it goes with the export.
        QDir out(outDir_);
        for (const QString& name : out.entryList({QStringLiteral(".*.ogg.part")}, QDir::Files | QDir::Hidden))
            out.remove(name);
        message_ = QStringLiteral("导出已取消");
    } else if (status == QProcess::NormalExit && exitCode == 0) {
        succeeded_ = true;
        message_ = QStringLiteral("已导出到 %1").arg(QDir::toNativeSeparators(outDir_));
    } else {
        wouldReplace_ = errors.contains(QStringLiteral("exists already"));
        message_ = QStringLiteral("导出失败: %1").arg(errors.section(u'\n', -1));
    }
    emit finished();
}

void exportOpenUnit(StudyPanel& panel)
{
    const QString folder = QFileDialog::getExistingDirectory(&panel, QStringLiteral("导出到文件夹"));
    if (folder.isEmpty())
        return;
    auto* run = new FlashcardExportRun(panel, folder);
    QObject::connect(run, &FlashcardExportRun::finished, &panel, [run, &panel] {
        if (run->wouldReplace() &&
            QMessageBox::question(&panel, QStringLiteral("导出"),
                                  QStringLiteral("文件夹里已有同名文件, 要覆盖吗?\n%1")
                                      .arg(run->message())) == QMessageBox::Yes) {
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
