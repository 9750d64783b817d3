// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"

#include <QString>

namespace dictora {

// The clear-record backup's path for the open Unit's file:
// Backup/ + the file's name without folder and extension + "(清除记录前备份) .dat".
QString clearRecordBackupPath(const ProgramFolder& folder, const QString& unitFilePath);

struct RecordClearing {
    enum class Backup {
        Written,     // the Unit file as last saved is in Backup
        KeptEarlier, // a backup of that name was there already and stays as it was
        NoUnitFile,  // the Unit was never saved: there is nothing to keep
        Failed,      // `error` says why; the record was not cleared
    };
    Backup backup = Backup::NoUnitFile;
    bool cleared = false;
    QString backupPath;
    QString error;
};

// Clears the study record of the open Unit: first its file is copied to the
// clear-record backup (never over an earlier one), then every row, title rows
// included, is to study again at level 0 with the never-studied stamp, and
// unitModified is set. When the backup cannot be written the record is left
// as it was: the learner's history is never thrown away without its copy.
RecordClearing clearUnitRecord(const ProgramFolder& folder, StudyState& state,
                               SentenceTable& table);

} // namespace dictora
