#include "core/study/unit_library.h"

#include "core/media/media_commands.h"
#include "core/study/number_text.h"
#include "core/study/unit_names.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace dictora {

namespace {

constexpr TimeValue kBackupInterval = 300;
// Unit files up to this size are kept in memory while open, to see without
// reading them again whether a save changes them; larger (damaged or hostile)
// files are streamed and compared on disk.
constexpr qint64 kKeptFileLimit = 64 * 1024 * 1024;

} // namespace

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
    lastError_ = message;
    emit saveFailed(message);
    return false;
}

// --- listing -------------------------------------------------------------

bool UnitLibrary::ensureNotebook()
{
    const QString path = folder_.dataFolder() + kNotebookFileName;
    if (QFileInfo::exists(path))
        return true;
    const WriteOutcome written = writeFileAtomically(path, encodeUnit(kNotebookHeader, {}, true));
    if (!written.ok)
        return fail(written.error);
    return true;
}

void UnitLibrary::ScanDataFolder()
{
    listFolder(true);
}

void UnitLibrary::listDataFolder()
{
    listFolder(false);
}

void UnitLibrary::listFolder(bool loadEach)
{
    const QString folder = folder_.dataFolder();
    names_.clear();
    percentTexts_.clear();
    if (loadEach)
        ensureNotebook();
    names_ << kNotebookName;
    percentTexts_ << QString();
    if (loadEach) {
        setOpenUnit(0, kNotebookName, folder + kNotebookFileName);
        LoadUnit();
        SaveUnit();
        state_.isNotebook = false;
    }
    // Case-sensitive: a Unit is opened again as name + ".dat", so "X.DAT"
    // would be listed but never found.
    const QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(
        {QStringLiteral("*.dat")}, QDir::Files | QDir::Hidden | QDir::CaseSensitive, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        const QString fileName = entry.fileName();
        if (fileName.startsWith(u'.') || fileName == kNotebookFileName || !entry.isFile())
            continue;
        if (!hasFormatMark(entry.filePath()))
            continue;
        const QString name = fileName.left(fileName.lastIndexOf(u'.'));
        names_ << name;
        percentTexts_ << QString();
        if (loadEach) {
            table_.clear();
            setOpenUnit(int(names_.size()) - 1, name, entry.filePath());
            LoadUnit();
            SaveUnit();
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
    CloseUnit();
    setOpenUnit(position, names_.at(position), unitPath(names_.at(position)));
    LoadUnit();
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
    table_.clear();
    loadedBytes_.clear();
    loadedPath_.clear();
}

void UnitLibrary::LoadUnit()
{
    const QString& path = state_.unitFilePath;
    const bool notebook = state_.isNotebook;
    const TimeValue now = state_.now.toSecsSinceEpoch();
    unreadable_ = false;
    // A file within kKeptFileLimit is read whole and kept, so that the save
    // that follows can see whether anything changed without reading it again.
    loadedBytes_.clear();
    loadedPath_.clear();
    UnitReadResult read;
    QFile file(path);
    const RowReview review = dailyReviewAsOf(now);
    if (file.open(QIODevice::ReadOnly)) {
        if (file.size() > kKeptFileLimit) {
            read = readUnit(file, notebook, review); // streamed, nothing kept
        } else {
            loadedBytes_ = file.readAll();
            loadedPath_ = path;
            QBuffer buffer(&loadedBytes_);
            buffer.open(QIODevice::ReadOnly);
            read = readUnit(buffer, notebook, review);
        }
    } else {
        unreadable_ = QFileInfo::exists(path);
    }
    header_ = loadedHeader(read, notebook);
    table_.replaceAll(std::move(read.rows));
}

bool UnitLibrary::SaveUnit()
{
    if (state_.unitFilePath.isEmpty())
        return true;
    const TimeValue now = state_.now.toSecsSinceEpoch();
    ProgressFigures figures = runProgressPass(table_, header_, state_.isNotebook, now, totals_);
    if (unreadable_)
        return fail(QStringLiteral("cannot read %1; it is left as it is").arg(state_.unitFilePath));
    QByteArray bytes = encodeUnit(header_, table_.rows(), state_.isNotebook);
    const bool kept = loadedPath_ == state_.unitFilePath;
    if (!kept || bytes != loadedBytes_) {
        const WriteOutcome written = writeFileAtomically(state_.unitFilePath, bytes, !kept);
        if (!written.ok)
            return fail(written.error);
        if (bytes.size() <= kKeptFileLimit) {
            loadedBytes_ = std::move(bytes);
            loadedPath_ = state_.unitFilePath;
        }
    }
    lastError_.clear();
    storeFigures(figures);
    return true;
}

void UnitLibrary::storeFigures(const ProgressFigures& figures)
{
    figures_ = figures;
    texts_ = figures.texts;
    if (openPosition_ >= 0)
        completion_.SetCompletion(openPosition_, figures.percent);
    if (openPosition_ >= 0 && openPosition_ < percentTexts_.size())
        percentTexts_[openPosition_] = texts_.unitPercentText;
    emit progressChanged();
}

// --- the Sentence Notebook ------------------------------------------------

UnitLibrary::NotebookAdd UnitLibrary::AddToNotebook()
{
    if (state_.isNotebook || state_.unitFilePath.isEmpty() || !table_.isValidRow(state_.currentRow))
        return NotebookAdd::Nothing;
    const QString path = folder_.dataFolder() + kNotebookFileName;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1").arg(path));
        return NotebookAdd::Failed;
    }
    const QByteArray old = file.readAll();
    file.close();
    QByteArray bytes = old;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const UnitReadResult notebook = readUnit(buffer, true);
    if (!notebook.headerRead) {
        fail(QStringLiteral("%1 is not a Unit file").arg(path));
        return NotebookAdd::Failed;
    }
    const SentenceRow& current = table_.row(state_.currentRow);
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
    added[SectionTitle] = unitName_;
    added[MediaPath] = current[MediaPath];
    added[MediaName] = current[MediaName];
    added[MediaLengthMs] = current[MediaLengthMs];
    // The records already there are kept byte for byte; the new one goes
    // where the terminator stood.
    QByteArray updated = old.left(notebook.recordsEnd);
    appendRecord(updated, added, true);
    appendInt32(updated, kTerminator);
    const WriteOutcome written = writeFileAtomically(path, updated);
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
    const LocalClock c = toLocalClock(time);
    return unitName +
           QString::asprintf(" (%04d%02d%02d_%02d%02d%02d", c.year, c.month, c.day, c.hour,
                             c.minute, c.second) +
           QStringLiteral(" 备份).dat");
}

QString UnitLibrary::clearRecordBackupFileName(const QString& unitName)
{
    return unitName + QStringLiteral("(清除记录前备份) .dat");
}

void UnitLibrary::autosaveStep()
{
    if (!state_.unitModified)
        return;
    state_.unitModified = false;
    if (!SaveUnit())
        return;
    const TimeValue now = state_.now.toSecsSinceEpoch();
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
    const WriteOutcome written = writeFileAtomically(target, unit.readAll());
    if (!written.ok)
        return false; // the older backups stay
    removeOlderBackups(fileName);
    return true;
}

void UnitLibrary::removeOlderBackups(const QString& keepFileName)
{
    // Only this Unit's own backups: the timed form and the clear-record form,
    // never those of a Unit whose name merely begins the same way.
    const QRegularExpression timed(QStringLiteral("^") + QRegularExpression::escape(unitName_) +
                                   QStringLiteral(" \\(\\d{8}_\\d{6} 备份\\)\\.dat$"));
    const QString clearRecord = clearRecordBackupFileName(unitName_);
    const QDir dir(folder_.backupFolder());
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (name == keepFileName)
            continue;
        if (name == clearRecord || timed.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
    }
}

} // namespace dictora
