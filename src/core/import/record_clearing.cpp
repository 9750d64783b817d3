// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/record_clearing.h"

#include "core/study/dictation_results.h"
#include "core/study/unit_file.h"
#include "core/study/unit_library.h"

#include <QFile>
#include <QFileInfo>

namespace dictora {

QString clearRecordBackupPath(const ProgramFolder& folder, const QString& unitFilePath)
{
    const QString unitName = QFileInfo(unitFilePath).completeBaseName();
    return folder.backupFolder() + UnitLibrary::clearRecordBackupFileName(unitName);
}

namespace {

void writeBackup(RecordClearing& result, const QString& unitFilePath)
{
    using Backup = RecordClearing::Backup;
    if (unitFilePath.isEmpty() || !QFileInfo::exists(unitFilePath)) {
        result.backup = Backup::NoUnitFile;
        return;
    }
    if (QFileInfo::exists(result.backupPath)) {
        result.backup = Backup::KeptEarlier;
        return;
    }
    QFile unit(unitFilePath);
    if (!unit.open(QIODevice::ReadOnly)) {
        result.backup = Backup::Failed;
        result.error = unitFilePath + QStringLiteral(": ") + unit.errorString();
        return;
    }
    const QByteArray bytes = unit.readAll();
    if (unit.error() != QFileDevice::NoError) {
        result.backup = Backup::Failed;
        result.error = unitFilePath + QStringLiteral(": ") + unit.errorString();
        return;
    }
    const WriteOutcome written = writeFileAtomically(result.backupPath, bytes);
    if (!written.ok) {
        result.backup = Backup::Failed;
        result.error = written.error;
        return;
    }
    result.backup = Backup::Written;
}

} // namespace

RecordClearing clearUnitRecord(const ProgramFolder& folder, StudyState& state, SentenceTable& table)
{
    RecordClearing result;
    result.backupPath = clearRecordBackupPath(folder, state.unitFilePath);
    writeBackup(result, state.unitFilePath);
    if (result.backup == RecordClearing::Backup::Failed)
        return result;
    state.unitModified = true;
    clearRecord(table);
    result.cleared = true;
    return result;
}

} // namespace dictora
