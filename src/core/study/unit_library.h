// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/completion_table.h"
#include "core/study/dictation_results.h"
#include "core/study/program_folder.h"
#include "core/study/progress_pass.h"
#include "core/study/review_marks.h"
#include "core/study/sentence_table.h"
#include "core/study/stamp.h"
#include "core/study/study_state.h"
#include "core/study/unit_file.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace dictora {

class MediaCommands;
struct NotebookFollow;

// The outcome of an operation the learner asked for. A refused or failed
// operation carries the one-line message to show; nothing was changed.
struct UnitResult {
    bool ok = true;
    QString message;

    static UnitResult failure(QString text) { return {false, std::move(text)}; }
};

// A Unit file that did not read cleanly to its terminator, whose original
// bytes were kept in Backup/ before the rows read were written back.
struct DamagedUnit {
    QString unitName;
    QString unitPath;
    QString copyPath;      // the kept original, in Backup/
    int rowsKept = 0;      // complete rows before the damage
    qint64 cleanBytes = 0; // bytes read cleanly (header and complete rows)
};
// One line for the learner: what was damaged, what is kept, where the copy is.
QString damagedUnitNotice(const DamagedUnit& damaged);

// The one row a new Unit starts with: a Section titled "标题", never studied.
SentenceRow newUnitTitleRow();

// The unit library: the list of Units found in the Data folder (position 0 is
// always the Sentence Notebook "生句本"), the open Unit with its header fields
// and progress texts, the completion table, the autosave and backup step, and
// creating, renaming and deleting Units. Windows show what it holds and call
// its operations; it knows nothing about windows. The sentence table and the
// study state are handed in and outlive it; time is the study state's `now`.
//
// Unit files are always replaced through a temporary file and a rename, so a
// failed write leaves the previous file whole; the failure is reported by
// saveFailed() and the return values, never shown as a complete Unit.
class UnitLibrary : public QObject {
    Q_OBJECT
public:
    // media may be null; when given, closing a Unit and renaming its media
    // folder first send "Close MYSHOW ".
    UnitLibrary(ProgramFolder folder, StudyState& state, SentenceTable& table,
                MediaCommands* media = nullptr, QObject* parent = nullptr);

    // --- the unit list ---
    const QStringList& unitNames() const { return names_; }
    int unitCount() const { return int(names_.size()); }
    int positionOf(const QString& name) const { return int(names_.indexOf(name)); }
    // The percent text shown beside the name ("" until the Unit was saved).
    QString percentTextAt(int position) const;

    // The Unit the program opens after the start-up scan (startUnitPosition):
    // the one named by setStartUnit (the welcome Unit of a first start) when
    // it is listed; else the Notebook while the scan found a sentence in it
    // still to study; else the Unit open last (loadLastUnit) when listed.
    void setStartUnit(const QString& name) { startUnit_ = name; }
    int startPosition() const;

    // --- the open Unit ---
    int openPosition() const { return openPosition_; }
    const QString& unitName() const { return unitName_; }
    const QString& unitFilePath() const { return state_.unitFilePath; }
    // The open Unit's rows that wait for the learner's look. They are read
    // when the Unit opens and written after each save of it (and by the
    // autosave when only they changed); they follow a rename and go with a
    // delete.
    ReviewMarks& reviewMarks() { return marks_; }
    const ReviewMarks& reviewMarks() const { return marks_; }
    bool isNotebook() const { return state_.isNotebook; }
    const UnitHeader& header() const { return header_; }
    int32_t reviewFrequency() const { return header_.reviewFrequency; }
    float newPerDay() const { return header_.newPerDay; }
    int32_t newPerDayUnit() const { return header_.newPerDayUnit; }
    // New settings from the settings dialog; sets unitModified so the next
    // autosave writes them.
    void applySettings(const UnitHeader& header);

    // --- progress ---
    const ProgressTexts& texts() const { return texts_; }
    const QString& unitPercentText() const { return texts_.unitPercentText; }
    const QString& progressLine() const { return texts_.progressLine; }
    const QString& estimateText() const { return texts_.estimateText; }
    const QString& totalPercentText() const { return totalPercentText_; }
    const ProgressFigures& lastFigures() const { return figures_; }
    StudyTotals& totals() { return totals_; }
    int64_t studyChars() const { return totals_.studyChars; }
    int64_t studySeconds() const { return totals_.studySeconds; }
    const CompletionTable& completion() const { return completion_; }
    void SetCompletion(int position, int percent) { completion_.SetCompletion(position, percent); }
    // Recomputes totalPercentText from the completion table.
    void UpdateTotal();

    // --- operations ---
    // Start-up: removes the temporary files a killed save left in Data/ and
    // Backup/ (so the caller must hold the program folder's lock), creates
    // the Notebook when missing, then lists, loads, reviews and saves every
    // Unit file of the Data folder; a Unit that would not change is only
    // counted, not loaded or written. A damaged Unit's original is kept in
    // Backup/ first (damagedUnitKept). Leaves no Unit open; call OpenUnit(0)
    // afterwards as the program does.
    void ScanDataFolder();
    // Lists the Units as the scan does, without loading or saving any.
    void listDataFolder();
    // Creates the empty Sentence Notebook when its file is missing, as the
    // scan does. False (with lastError) when it cannot be written.
    bool ensureNotebook();

    // Saves the open Unit, closes it, opens the Unit at position and saves it
    // at once with fresh figures. False (with lastError) when a save failed.
    // When the open Unit has changes that cannot be saved, it stays open
    // (nothing else is opened) and the failure is reported.
    bool OpenUnit(int position);
    // The data side of closing: media closed, play positions and modes reset,
    // paths emptied, the table emptied. Emits unitClosing() first, so windows
    // hide what belongs to the old Unit.
    void CloseUnit();
    // Reads the open Unit's file into the header and the (empty) table,
    // reviewing every sentence as of now.
    void LoadUnit();
    // The save-and-progress pass, then the file is replaced (only when its
    // bytes change). Does nothing without an open Unit. False when the file
    // could not be written; the previous file is then left as it was.
    bool SaveUnit();

    // Adds the current row of the open Unit to the Sentence Notebook unless
    // a row with exactly its text is there already. Nothing happens while the
    // Notebook itself is open or without a current row.
    enum class NotebookAdd { Added, AlreadyThere, Nothing, Failed };
    NotebookAdd AddToNotebook();
    // Adds a sentence row of the Unit fromUnit (fields 8 to 11 filled in) to
    // the Notebook file by the same rules; Nothing while the Notebook is open.
    NotebookAdd addRowToNotebook(const SentenceRow& row, const QString& fromUnit);

    // An answer to the current row was accepted (the dictation form's Enter):
    // the rules of acceptAnswer on the open Unit, at now, with this run's
    // typing totals; sets unitModified when the row changed.
    AnswerResult answerAccepted(int hintLevel, TimeValue typingStart);

    // Steps 2 and 3 of the 100 ms timer: when unitModified is set, clear it
    // and save; right after such a save, when more than 300 seconds have
    // passed since the last backup (none yet in this run counts as long ago),
    // write a new timed backup and then remove this Unit's older ones.
    // A save that fails leaves the changes unsaved: they are tried again
    // every kSaveRetrySeconds until a save succeeds. A retry that fails for
    // the reason already reported is not reported again.
    void autosaveStep();
    static constexpr TimeValue kSaveRetrySeconds = 2;
    // Changes of the open Unit that are not in its file yet: a change the
    // autosave has not come to, or one whose save failed.
    bool hasUnsavedChanges() const { return unsaved_ || state_.unitModified; }
    // Closing the program: one more try to save unsaved changes. True when
    // nothing is left unsaved; otherwise lastError says why.
    bool saveBeforeClosing();
    // The timed backup's file name for a Unit at a time:
    // name + " (" + "%Y%m%d_%H%M%S" + " 备份).dat".
    static QString backupFileName(const QString& unitName, TimeValue time);
    // The clear-record backup's file name: name + "(清除记录前备份) .dat".
    static QString clearRecordBackupFileName(const QString& unitName);

    // Creates a Unit file with these settings and one title row "标题", lists
    // it and opens it (sets unitModified). Refused with the name message or
    // name + " 单元名已经存在.".
    UnitResult createUnit(const QString& name, const UnitHeader& header = kNewUnitHeader);
    // Gives the open Unit a new name: the file under the new name is written
    // before the old one is removed, the media folder and the Notebook's rows
    // of this Unit (their name and media paths) follow, and the Unit is opened
    // again. Never replaces another Unit's file; a step that fails undoes the
    // ones before it.
    UnitResult renameOpenUnit(const QString& newName);
    // Deletes the open Unit's file (never the Notebook's), takes it out of the
    // list and the completion table, and opens the Notebook.
    UnitResult deleteOpenUnit();

    // The copy name of a damaged Unit's original bytes in Backup/:
    // name + " (损坏 " + "%Y%m%d_%H%M%S" + ").dat". The backup clean-up never
    // removes these.
    static QString damagedCopyFileName(const QString& unitName, TimeValue time);
    // Every damaged Unit whose original was kept during this run, in order;
    // each is also announced once by damagedUnitKept.
    const QList<DamagedUnit>& damagedUnitsKept() const { return damaged_; }
    // Files of the Data folder that the last listing could not read (one
    // message each, with the reason); they are not listed.
    const QStringList& unreadableUnitFiles() const { return unreadable_; }

    // The file operations saves, renames and deletes go through; tests hand
    // in ones that fail. The default is the system's own.
    void setFileSteps(FileSteps& steps) { steps_ = &steps; }

    // The last save or write failure, one line; empty after a good save.
    const QString& lastError() const { return lastError_; }
    const ProgramFolder& programFolder() const { return folder_; }
    QString unitPath(const QString& name) const;

signals:
    void unitClosing();
    void unitOpened();
    // The texts, the list's percent column or the total changed.
    void progressChanged();
    void listChanged();
    void saveFailed(const QString& message);
    // A damaged Unit's original bytes were kept in Backup/ before the rows
    // read were written back: tell the learner once (a message box).
    void damagedUnitKept(const dictora::DamagedUnit& damaged);
    // A file of the Data folder could not be read and is not listed.
    void unitFileUnreadable(const QString& message);

private:
    void listFolder(bool loadEach);
    // The open Unit's file into bytes; false (with blockedReason_ set when the
    // file exists) when it cannot be read whole.
    bool readOpenUnitFile(QByteArray& bytes);
    void loadBytes(QByteArray bytes);
    // The scan's load and save of the open Unit, skipped when the save would
    // write the very bytes there.
    void scanOpenUnit();
    bool keepDamagedCopy(const QString& name, const QString& path, const QByteArray& bytes,
                         const UnitReadResult& read, QString& error);
    // Puts back what a rename did so far; with notebook, the Notebook's bytes
    // from before the rename too.
    UnitResult undoRename(const QString& newPath, const QString& oldPath, const QString& oldMedia,
                          const QString& newMedia, const QString& why,
                          const NotebookFollow* notebook = nullptr);
    void setOpenUnit(int position, const QString& name, const QString& path);
    void storeFigures(const ProgressFigures& figures);
    bool writeBackup();
    void removeOlderBackups(const QString& keepFileName);
    // Keeps the message as lastError and reports it through saveFailed,
    // unless an operation that reports its own failure is under way.
    bool fail(const QString& message);
    // Writes the open Unit's marks when they changed; a failure is told once.
    void saveMarks();

    ProgramFolder folder_;
    StudyState& state_;
    SentenceTable& table_;
    MediaCommands* media_;
    ReviewMarks marks_{table_};
    QString marksError_;

    QStringList names_;
    QStringList percentTexts_;
    int openPosition_ = -1;
    QString unitName_;
    UnitHeader header_ = kNotebookHeader;
    // Set when the open Unit's file must not be written: it exists but could
    // not be read, is above the size limit, or is damaged and no copy of it
    // could be kept. Saving would lose the learner's data; the message says why.
    QString blockedReason_;
    // The bytes last read from or written to loadedPath_: a save that would
    // write the same bytes to the same file leaves the file alone.
    QByteArray loadedBytes_;
    QString loadedPath_;

    ProgressTexts texts_;
    ProgressFigures figures_;
    QString totalPercentText_ = QStringLiteral("0%");
    StudyTotals totals_;
    CompletionTable completion_;
    TimeValue lastBackup_ = 0;
    QString lastError_;
    bool failureReportedByCaller_ = false;
    // The open Unit's changes are not on disk: an autosave of them failed.
    bool unsaved_ = false;
    TimeValue retryAt_ = 0;
    // Set while a retry runs: a failure already reported stays quiet.
    bool retrying_ = false;
    QList<DamagedUnit> damaged_;
    QStringList unreadable_;
    FileSteps* steps_ = &systemFileSteps();
    QString startUnit_;
    // The last scan found a sentence of the Notebook still to study.
    bool notebookHasDue_ = false;
};

} // namespace dictora
