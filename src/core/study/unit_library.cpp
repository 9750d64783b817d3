// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/unit_library.h"

#include "core/study/start_unit.h"

#include "core/media/media_commands.h"
#include "core/study/number_text.h"
#include "core/study/unit_names.h"
#include "core/study/unit_scan.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace dictora {

namespace {

constexpr TimeValue kBackupInterval = 300;

// The stamp "%Y%m%d_%H%M%S": the Unit stamp with the day and the time apart.
QString stampForFileName(TimeValue time)
{
    return FormatStamp(time).insert(8, u'_');
}

QString cannotRead(const QString& path, const QString& reason)
{
    return QStringLiteral("cannot read %1: %2; it is left as it is")
        .arg(QDir::toNativeSeparators(path), reason);
}

// Why a file could not be opened: a link that leads nowhere says so, rather
// than that the file is not there.
QString openFailure(const QString& path, const QFile& file)
{
    const QString missing = missingLinkTarget(path);
    return missing.isEmpty() ? file.errorString() : brokenLinkReason(missing);
}

} // namespace

QString damagedUnitNotice(const DamagedUnit& damaged)
{
    return QStringLiteral("the Unit '%1' was damaged after byte %2: the %3 complete rows before "
                          "the damage are kept, and the original file is kept as %4")
        .arg(damaged.unitName, QString::number(damaged.cleanBytes),
             QString::number(damaged.rowsKept), QDir::toNativeSeparators(damaged.copyPath));
}

UnitLibrary::UnitLibrary(ProgramFolder folder, StudyState& state, SentenceTable& table,
                         MediaCommands* media, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), state_(state), table_(table), media_(media)
{
}

QString UnitLibrary::unitPath(const QString& name) const
{
    return folder_.dataFolder() + unitFileName(name);
}

QString UnitLibrary::percentTextAt(int position) const
{
    return position >= 0 && position < percentTexts_.size() ? percentTexts_.at(position)
                                                            : QString();
}

void UnitLibrary::applySettings(const UnitHeader& header)
{
    header_ = header;
    state_.unitModified = true;
}

void UnitLibrary::UpdateTotal()
{
    totalPercentText_ = completion_.totalPercentText();
    emit progressChanged();
}

bool UnitLibrary::fail(const QString& message)
{
    const bool toldAlready = retrying_ && message == lastError_;
    lastError_ = message;
    if (!failureReportedByCaller_ && !toldAlready)
        emit saveFailed(message);
    return false;
}

// --- listing -------------------------------------------------------------

bool UnitLibrary::ensureNotebook()
{
    const QString path = folder_.dataFolder() + kNotebookFileName;
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return true;
    const WriteOutcome written =
        writeFileAtomically(path, encodeUnit(kNotebookHeader, {}, true), false, *steps_);
    if (!written.ok)
        return fail(written.error);
    return true;
}

void UnitLibrary::ScanDataFolder()
{
    // Temporary files of a writer killed before its rename. No other writer
    // is at work: the caller holds the program folder (ProgramFolderLock).
    removeTemporaryFiles(folder_.dataFolder());
    removeTemporaryFiles(folder_.backupFolder());
    listFolder(true);
}

void UnitLibrary::listDataFolder()
{
    listFolder(false);
}

void UnitLibrary::listFolder(bool loadEach)
{
    const FixedTimeZoneScope zone;
    const QString folder = folder_.dataFolder();
    names_.clear();
    percentTexts_.clear();
    unreadable_.clear();
    if (loadEach) {
        ensureNotebook();
        // The scan loads Units one by one into the table: no Unit's marks
        // may be matched to, or written from, another's rows.
        saveMarks();
        marks_.close();
    }
    names_ << kNotebookName;
    percentTexts_ << QString();
    if (loadEach) {
        setOpenUnit(0, kNotebookName, folder + kNotebookFileName);
        scanOpenUnit();
        // Title rows count as done: any other row is a sentence to study.
        notebookHasDue_ = figures_.rowCount > figures_.doneRows;
        state_.isNotebook = false;
    }
    // Case-sensitive: a Unit is opened again as name + ".dat", so "X.DAT"
    // would be listed but never found.
    const QDir dir(folder);
    // System takes in links that lead nowhere, which are told like any
    // Unit file that cannot be read.
    const QFileInfoList entries = dir.entryInfoList(
        {QStringLiteral("*.dat")}, QDir::Files | QDir::System | QDir::Hidden | QDir::CaseSensitive,
        QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        const QString fileName = entry.fileName();
        const bool brokenLink = entry.isSymLink() && !entry.exists();
        if (fileName.startsWith(u'.') || fileName == kNotebookFileName ||
            (!entry.isFile() && !brokenLink))
            continue;
        QFile file(entry.filePath());
        if (!file.open(QIODevice::ReadOnly)) {
            // Not silently left out: the learner would then be told the name
            // is taken, or that there is no such Unit.
            const QString message =
                QStringLiteral("cannot read the Unit file %1: %2; it is not listed")
                    .arg(QDir::toNativeSeparators(entry.filePath()),
                         openFailure(entry.filePath(), file));
            unreadable_ << message;
            emit unitFileUnreadable(message);
            continue;
        }
        if (file.read(kFormatMarkSize) != formatMarkBytes())
            continue;
        file.close();
        const QString name = fileName.left(fileName.lastIndexOf(u'.'));
        names_ << name;
        percentTexts_ << QString();
        if (loadEach) {
            table_.clear();
            setOpenUnit(int(names_.size()) - 1, name, entry.filePath());
            scanOpenUnit();
        }
    }
    if (loadEach) {
        // The scan leaves no Unit open: the caller opens position 0.
        table_.clear();
        openPosition_ = -1;
        unitName_.clear();
        state_.unitFilePath.clear();
        state_.isNotebook = false;
        loadedBytes_.clear();
        loadedPath_.clear();
        UpdateTotal();
    }
    emit listChanged();
}

int UnitLibrary::startPosition() const
{
    return startUnitPosition(names_, startUnit_, notebookHasDue_, loadLastUnit(folder_));
}

void UnitLibrary::setOpenUnit(int position, const QString& name, const QString& path)
{
    openPosition_ = position;
    unitName_ = name;
    state_.unitFilePath = path;
    state_.isNotebook = name == kNotebookName;
}

// --- open, close, load, save ----------------------------------------------

bool UnitLibrary::OpenUnit(int position)
{
    if (position < 0 || position >= names_.size())
        return false;
    const bool saved = SaveUnit();
    // Closing a Unit whose changes could not be saved would drop them (and
    // opening it again would read them back from the old file): it stays
    // open, and the autosave goes on trying.
    if (!saved && hasUnsavedChanges()) {
        state_.unitModified = false;
        unsaved_ = true;
        fail(QStringLiteral("the Unit '%1' stays open until its changes are saved").arg(unitName_));
        return false;
    }
    CloseUnit();
    setOpenUnit(position, names_.at(position), unitPath(names_.at(position)));
    LoadUnit();
    marks_.open(state_.unitFilePath);
    const bool savedNew = SaveUnit();
    emit unitOpened();
    return saved && savedNew;
}

void UnitLibrary::CloseUnit()
{
    emit unitClosing();
    if (media_)
        media_->send(QStringLiteral("Close MYSHOW "));
    state_.currentRow = kNone;
    state_.spanEndMs = kNone;
    state_.playToMs = kNone;
    state_.playFromMs = kNone;
    state_.mediaFilePath.clear();
    state_.unitFilePath.clear();
    state_.dictationMode = false;
    state_.editMode = false;
    state_.lineByLineMode = false;
    marks_.close();
    table_.clear();
    loadedBytes_.clear();
    loadedPath_.clear();
}

void UnitLibrary::LoadUnit()
{
    const FixedTimeZoneScope zone;
    QByteArray bytes;
    if (readOpenUnitFile(bytes)) {
        loadBytes(std::move(bytes));
    } else {
        header_ = loadedHeader({}, state_.isNotebook);
        table_.clear();
    }
}

bool UnitLibrary::readOpenUnitFile(QByteArray& bytes)
{
    const QString& path = state_.unitFilePath;
    blockedReason_.clear();
    loadedBytes_.clear();
    loadedPath_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // A file that is not there is a new Unit; one that is there but
        // cannot be read must not be replaced by an empty one, nor a link
        // whose file is missing (a moved Notebook) by an empty file.
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
            blockedReason_ = cannotRead(path, openFailure(path, file));
        return false;
    }
    if (file.size() > kUnitFileSizeLimit) {
        blockedReason_ = unitTooLargeMessage(path);
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        blockedReason_ = cannotRead(path, file.errorString());
        return false;
    }
    return true;
}

void UnitLibrary::loadBytes(QByteArray bytes)
{
    const QString& path = state_.unitFilePath;
    const bool notebook = state_.isNotebook;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    UnitReadResult read =
        readUnit(buffer, notebook, dailyReviewAsOf(state_.now.toSecsSinceEpoch()));
    buffer.close();
    QString error;
    if (!read.readWhole() && !keepDamagedCopy(unitName_, path, bytes, read, error))
        blockedReason_ = error;
    // Bytes without the format mark hold no Unit: reading them as records
    // would only make rows of noise.
    if (!read.markMatches)
        read = UnitReadResult{};
    // Kept, so that the save that follows can see whether anything changed
    // without reading the file again.
    loadedBytes_ = std::move(bytes);
    loadedPath_ = path;
    header_ = loadedHeader(read, notebook);
    table_.replaceAll(std::move(read.rows));
}

void UnitLibrary::scanOpenUnit()
{
    QByteArray bytes;
    if (readOpenUnitFile(bytes)) {
        // Most Units come through the scan unchanged: their figures are
        // counted on the bytes, and nothing is built or written.
        if (const std::optional<ProgressFigures> figures = unchangedUnitFigures(
                bytes, state_.isNotebook, state_.now.toSecsSinceEpoch(), totals_)) {
            lastError_.clear();
            storeFigures(*figures);
            return;
        }
        loadBytes(std::move(bytes));
    } else {
        header_ = loadedHeader({}, state_.isNotebook);
        table_.clear();
    }
    SaveUnit();
}

bool UnitLibrary::keepDamagedCopy(const QString& name, const QString& path, const QByteArray& bytes,
                                  const UnitReadResult& read, QString& error)
{
    // Kept once: a copy of exactly these bytes from an earlier attempt (one
    // whose rewrite then failed) is enough.
    const QDir backups(folder_.backupFolder());
    const QRegularExpression ownCopy(QStringLiteral("^") + QRegularExpression::escape(name) +
                                     QStringLiteral(" \\(损坏 \\d{8}_\\d{6}( \\d+)?\\)\\.dat$"));
    for (const QFileInfo& entry : backups.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (entry.size() != bytes.size() || !ownCopy.match(entry.fileName()).hasMatch())
            continue;
        QFile kept(entry.filePath());
        if (kept.open(QIODevice::ReadOnly) && kept.readAll() == bytes)
            return true;
    }
    const QString plain = damagedCopyFileName(name, state_.now.toSecsSinceEpoch());
    QString target = backups.filePath(plain);
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = backups.filePath(plain.chopped(5) + QStringLiteral(" %1).dat").arg(n));
    QDir().mkpath(folder_.backupFolder());
    const WriteOutcome written = writeFileAtomically(target, bytes, false, *steps_);
    if (!written.ok) {
        error = QStringLiteral("%1 is damaged and no copy of it could be kept in %2 (%3); it is "
                               "not rewritten")
                    .arg(QDir::toNativeSeparators(path),
                         QDir::toNativeSeparators(folder_.backupFolder()), written.error);
        return false;
    }
    DamagedUnit damaged{name, path, target, int(read.rows.size()),
                        read.headerRead ? read.recordsEnd : 0};
    damaged_ << damaged;
    emit damagedUnitKept(damaged);
    return true;
}

QString UnitLibrary::damagedCopyFileName(const QString& unitName, TimeValue time)
{
    return unitName + QStringLiteral(" (损坏 ") + stampForFileName(time) + QStringLiteral(").dat");
}

bool UnitLibrary::SaveUnit()
{
    if (state_.unitFilePath.isEmpty()) {
        unsaved_ = false; // no Unit open: nothing of one to save
        return true;
    }
    const FixedTimeZoneScope zone;
    const TimeValue now = state_.now.toSecsSinceEpoch();
    ProgressFigures figures = runProgressPass(table_, header_, state_.isNotebook, now, totals_);
    if (!blockedReason_.isEmpty())
        return fail(blockedReason_);
    // A file the reader would refuse is never written: the one on disk stays
    // readable.
    if (encodedUnitSize(table_.rows(), state_.isNotebook) > kUnitFileSizeLimit)
        return fail(unitWouldBeTooLargeMessage(state_.unitFilePath));
    QByteArray bytes = encodeUnit(header_, table_.rows(), state_.isNotebook);
    const bool kept = loadedPath_ == state_.unitFilePath;
    if (!kept || bytes != loadedBytes_) {
        const WriteOutcome written =
            writeFileAtomically(state_.unitFilePath, bytes, !kept, *steps_);
        if (!written.ok)
            return fail(written.error);
        loadedBytes_ = std::move(bytes);
        loadedPath_ = state_.unitFilePath;
    }
    lastError_.clear();
    unsaved_ = false;
    storeFigures(figures);
    // After the Unit: the marks name rows as its file now holds them.
    saveMarks();
    return true;
}

void UnitLibrary::saveMarks()
{
    if (marks_.unitFilePath() != state_.unitFilePath || !marks_.hasUnsavedChanges())
        return;
    const WriteOutcome written = marks_.save(*steps_);
    if (written.ok || written.error == marksError_)
        return;
    marksError_ = written.error;
    emit saveFailed(QStringLiteral("待核对的标记没能保存: ") + written.error);
}

bool UnitLibrary::saveBeforeClosing()
{
    if (!hasUnsavedChanges()) {
        saveMarks();
        return true;
    }
    state_.unitModified = false;
    unsaved_ = true;
    // The learner is asked next, with this reason: no box of its own.
    failureReportedByCaller_ = true;
    const bool saved = SaveUnit();
    failureReportedByCaller_ = false;
    return saved;
}

void UnitLibrary::storeFigures(const ProgressFigures& figures)
{
    figures_ = figures;
    texts_ = figures.texts;
    if (openPosition_ >= 0 && figures.sentenceRows > 0)
        completion_.SetCompletion(openPosition_, figures.percent);
    else
        completion_.forget(openPosition_);
    if (openPosition_ >= 0 && openPosition_ < percentTexts_.size())
        percentTexts_[openPosition_] = texts_.unitPercentText;
    // Whoever reads the figures on this signal (the status item, the tip
    // that today's work is done) reads the total that already counts them.
    totalPercentText_ = completion_.totalPercentText();
    emit progressChanged();
}

// --- the Sentence Notebook ------------------------------------------------

UnitLibrary::NotebookAdd UnitLibrary::AddToNotebook()
{
    if (state_.isNotebook || state_.unitFilePath.isEmpty() || !table_.isValidRow(state_.currentRow))
        return NotebookAdd::Nothing;
    return addRowToNotebook(table_.row(state_.currentRow), unitName_);
}

UnitLibrary::NotebookAdd UnitLibrary::addRowToNotebook(const SentenceRow& current,
                                                       const QString& fromUnit)
{
    // The open Notebook is saved from its table, which would undo the append.
    if (state_.isNotebook)
        return NotebookAdd::Nothing;
    // A new program folder has no Notebook until the first scan; it is
    // made here as the scan would make it.
    if (!ensureNotebook())
        return NotebookAdd::Failed;
    const QString path = folder_.dataFolder() + kNotebookFileName;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(cannotRead(path, openFailure(path, file)));
        return NotebookAdd::Failed;
    }
    if (file.size() > kUnitFileSizeLimit) {
        fail(unitTooLargeMessage(path));
        return NotebookAdd::Failed;
    }
    QByteArray old = file.readAll();
    file.close();
    QByteArray bytes = old;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    UnitReadResult notebook = readUnit(buffer, true);
    if (!notebook.readWhole()) {
        QString error;
        if (!keepDamagedCopy(kNotebookName, path, old, notebook, error)) {
            fail(error);
            return NotebookAdd::Failed;
        }
    }
    if (!notebook.markMatches) {
        // Nothing of a Notebook in it (an empty file, or noise whose
        // original is now kept): start again from an empty one.
        old = encodeUnit(kNotebookHeader, {}, true);
        notebook = UnitReadResult{};
        notebook.recordsEnd = old.size() - 4;
    }
    for (const SentenceRow& row : notebook.rows)
        if (row[Text] == current[Text])
            return NotebookAdd::AlreadyThere;

    SentenceRow added = makeSentenceRow();
    added[StartMs] = current[StartMs];
    added[EndMs] = current[EndMs];
    added[Text] = current[Text];
    added[Text2] = current[Text2];
    added[Done] = added[Level] = QStringLiteral("0");
    added[StudiedAt] = kDefaultStampText;
    added[SectionTitle] = fromUnit;
    added[MediaPath] = current[MediaPath];
    added[MediaName] = current[MediaName];
    added[MediaLengthMs] = current[MediaLengthMs];
    if (notebook.recordsEnd + encodedRecordSize(added, true) + 4 > kUnitFileSizeLimit) {
        fail(unitWouldBeTooLargeMessage(path));
        return NotebookAdd::Failed;
    }
    // The records already there are kept byte for byte; the new one goes
    // where the terminator stood.
    QByteArray updated = old.left(notebook.recordsEnd);
    appendRecord(updated, added, true);
    appendInt32(updated, kTerminator);
    const WriteOutcome written = writeFileAtomically(path, updated, false, *steps_);
    if (!written.ok) {
        fail(written.error);
        return NotebookAdd::Failed;
    }
    return NotebookAdd::Added;
}

AnswerResult UnitLibrary::answerAccepted(int hintLevel, TimeValue typingStart)
{
    const AnswerResult result = acceptAnswer(table_, state_.currentRow, hintLevel,
                                             state_.now.toSecsSinceEpoch(), typingStart, totals_);
    if (result.unitModified)
        state_.unitModified = true;
    return result;
}

// --- autosave and backups -------------------------------------------------

QString UnitLibrary::backupFileName(const QString& unitName, TimeValue time)
{
    return unitName + QStringLiteral(" (") + stampForFileName(time) + QStringLiteral(" 备份).dat");
}

QString UnitLibrary::clearRecordBackupFileName(const QString& unitName)
{
    return unitName + QStringLiteral("(清除记录前备份) .dat");
}

void UnitLibrary::autosaveStep()
{
    const TimeValue now = state_.now.toSecsSinceEpoch();
    // A new change is saved at once; changes whose save failed wait for
    // their retry time, so a full disk is not written to ten times a second
    // (a clock set back does not put the retry off).
    const bool waiting = now < retryAt_ && retryAt_ - now <= kSaveRetrySeconds;
    if (state_.unitModified) {
        state_.unitModified = false;
    } else if (!unsaved_ || waiting) {
        // Marks the learner looked at clear without changing the Unit.
        if (!unsaved_)
            saveMarks();
        return;
    }
    retrying_ = unsaved_;
    unsaved_ = true;
    const bool saved = SaveUnit();
    retrying_ = false;
    if (!saved) {
        retryAt_ = now + kSaveRetrySeconds;
        return;
    }
    if (now - lastBackup_ <= kBackupInterval)
        return;
    lastBackup_ = now;
    writeBackup();
}

bool UnitLibrary::writeBackup()
{
    if (state_.unitFilePath.isEmpty())
        return false;
    const QString fileName = backupFileName(unitName_, state_.now.toSecsSinceEpoch());
    const QString target = folder_.backupFolder() + fileName;
    if (QFileInfo::exists(target))
        return false; // a backup never overwrites
    QFile unit(state_.unitFilePath);
    if (!unit.open(QIODevice::ReadOnly))
        return false;
    const WriteOutcome written = writeFileAtomically(target, unit.readAll(), false, *steps_);
    if (!written.ok)
        return false; // the older backups stay
    removeOlderBackups(fileName);
    return true;
}

void UnitLibrary::removeOlderBackups(const QString& keepFileName)
{
    // Only this Unit's own timed backups, never those of a Unit whose name
    // merely begins the same way. The backup made before a record was
    // cleared stays: the autosave that follows the clear would otherwise
    // remove the one copy of the learner's record within a tenth of a second.
    const QRegularExpression timed(QStringLiteral("^") + QRegularExpression::escape(unitName_) +
                                   QStringLiteral(" \\(\\d{8}_\\d{6} 备份\\)\\.dat$"));
    const QDir dir(folder_.backupFolder());
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (name != keepFileName && timed.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
    }
}

} // namespace dictora
