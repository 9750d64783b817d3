// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/export/package_collection.h"

#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>


namespace dictora {

class StudyPanel;

// "导出…": the open Unit's sentences as flashcards, as a package (OUT.apkg
// with the card types chosen) or as NAME.tsv and one clip a sentence in a
// folder. The export runs as dictora-cli export in a process of its own, so
// the study screen stays responsive and its speech voice stays free; a
// progress dialog follows it and its Cancel ends it. Files that exist are
// replaced only after the learner agrees. The summary names the sentences
// whose clips came out short or spoken.
class FlashcardExportRun : public QObject {
    Q_OBJECT
public:
    // target: a folder, or a path ending in ".apkg".
    FlashcardExportRun(StudyPanel& panel, QString target, PackageCards cards = {});
    ~FlashcardExportRun() override;

    // Saves the open Unit if it changed and starts the export; false (with
    // message()) when there is nothing to export or the program is missing.
    bool start(bool force = false);
    void cancel();

    QProgressDialog* progressDialog() const { return progress_; }
    bool succeeded() const { return succeeded_; }
    // Refused because files exist; start(true) replaces them.
    bool wouldReplace() const { return wouldReplace_; }
    QString message() const { return message_; }

    // Where dictora-cli is: DICTORA_CLI, beside this program, or on PATH.
    static QString cliPath();

signals:
    void finished();

private:
    void readProgress();
    void processEnded(int exitCode, QProcess::ExitStatus status);
    QString summary(const QJsonObject& result) const;
    QString targetFolder() const;

    StudyPanel& panel_;
    QString target_;
    PackageCards cards_;
    QJsonObject result_;
    QProcess process_;
    QPointer<QProgressDialog> progress_;
    QByteArray pending_;
    bool cancelled_ = false;
    bool succeeded_ = false;
    bool wouldReplace_ = false;
    QString message_;
};

// The menu item: asks for the folder, runs the export and says how it went.
void exportOpenUnit(StudyPanel& panel);

} // namespace dictora
