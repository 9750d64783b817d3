// SPDX-License-Identifier: GPL-3.0-or-later
// Creating, renaming and deleting Units: the file side of the settings
// dialog's buttons.
#include "core/study/unit_library.h"

#include "core/media/media_commands.h"
#include "core/study/notebook_media.h"
#include "core/study/unit_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace dictora {

SentenceRow newUnitTitleRow()
{
    SentenceRow title = makeTitleRow(QStringLiteral("标题"));
    title[StudiedAt] = kDefaultStampText;
    return title;
}

UnitResult UnitLibrary::createUnit(const QString& name, const UnitHeader& header)
{
    if (!isAcceptableUnitName(name))
        return UnitResult::failure(unitNameMessage());
    const QString path = unitPath(name);
    // A file of that name that is not listed (no format mark) is still the
    // learner's file and is not replaced either.
    if (names_.contains(name) || QFileInfo::exists(path))
        return UnitResult::failure(unitExistsMessage(name));
    const std::vector<SentenceRow> rows{newUnitTitleRow()};
    const WriteOutcome written =
        writeFileAtomically(path, encodeUnit(header, rows, false), false, *steps_);
    if (!written.ok) {
        // The refusal goes back to the caller, who shows it; it is no failed
        // save of the open Unit.
        lastError_ = written.error;
        return UnitResult::failure(written.error);
    }
    // Marks a Unit of this name left behind are not this Unit's.
    ReviewMarks::removeFileOf(path, *steps_);
    names_ << name;
    percentTexts_ << QString();
    emit listChanged();
    OpenUnit(int(names_.size()) - 1);
    UpdateTotal();
    state_.unitModified = true;
    return {};
}

UnitResult UnitLibrary::renameOpenUnit(const QString& newName)
{
    if (openPosition_ < 0 || state_.unitFilePath.isEmpty())
        return UnitResult::failure(QStringLiteral("no Unit is open"));
    if (newName == unitName_)
        return {};
    if (state_.isNotebook)
        return UnitResult::failure(QStringLiteral("the Sentence Notebook keeps its name"));
    if (!isAcceptableUnitName(newName))
        return UnitResult::failure(unitNameMessage());
    const QString newPath = unitPath(newName);
    if (names_.contains(newName) || QFileInfo::exists(newPath) || QFileInfo(newPath).isSymLink())
        return UnitResult::failure(unitExistsMessage(newName));
    const QString oldName = unitName_;
    const QString oldPath = state_.unitFilePath;
    const QString oldMedia = folder_.mediaFolder() + oldName;
    const QString newMedia = folder_.mediaFolder() + newName;
    const bool hasMedia = QFileInfo(oldMedia).isDir();
    if (hasMedia && QFileInfo::exists(newMedia))
        return UnitResult::failure(
            QStringLiteral("%1 was not renamed: the media folder %2 exists already")
                .arg(oldName, QDir::toNativeSeparators(newMedia)));

    // The Notebook's rows of this Unit name it and its media folder; they
    // follow in the same step. A Notebook that cannot be read whole stops the
    // rename before anything changed.
    const NotebookFollow notebook = notebookAfterRename(folder_.dataFolder() + kNotebookFileName,
                                                        oldName, newName, folder_.mediaFolder());
    if (!notebook.error.isEmpty())
        return UnitResult::failure(
            QStringLiteral("%1 was not renamed: %2").arg(oldName, notebook.error));

    // The new file first; only when it is complete do the media folder, the
    // Notebook and the old file follow. A step that fails undoes the ones
    // before it, so the Unit is never listed twice nor loses its media, and
    // the Notebook always names the media folder that exists.
    state_.unitFilePath = newPath;
    // A save that fails here is part of the rename's own message.
    failureReportedByCaller_ = true;
    const bool saved = SaveUnit();
    failureReportedByCaller_ = false;
    if (!saved) {
        state_.unitFilePath = oldPath;
        return UnitResult::failure(
            QStringLiteral("%1 was not renamed: %2").arg(oldName, lastError_));
    }
    if (hasMedia) {
        if (media_)
            media_->send(QStringLiteral("Close MYSHOW "));
        if (!QDir().rename(oldMedia, newMedia))
            return undoRename(newPath, oldPath, {}, {},
                              QStringLiteral("its media folder %1 cannot be renamed")
                                  .arg(QDir::toNativeSeparators(oldMedia)));
    }
    if (!notebook.after.isEmpty()) {
        const WriteOutcome written =
            writeFileAtomically(notebook.path, notebook.after, false, *steps_);
        if (!written.ok)
            return undoRename(newPath, oldPath, hasMedia ? oldMedia : QString(), newMedia,
                              written.error);
    }
    if (!steps_->remove(QFile::encodeName(oldPath))) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        return undoRename(newPath, oldPath, hasMedia ? oldMedia : QString(), newMedia,
                          QStringLiteral("its file %1 cannot be removed (%2)")
                              .arg(QDir::toNativeSeparators(oldPath), reason),
                          notebook.after.isEmpty() ? nullptr : &notebook);
    }
    // The marks are no part of the Unit: a failure to carry them over is
    // told, and the rename stands.
    const WriteOutcome marksMoved = marks_.follow(newPath, *steps_);
    if (!marksMoved.ok)
        emit saveFailed(QStringLiteral("待核对的标记没能随单元改名: ") + marksMoved.error);
    unitName_ = newName;
    names_[openPosition_] = newName;
    emit listChanged();
    OpenUnit(openPosition_);
    return {};
}

UnitResult UnitLibrary::undoRename(const QString& newPath, const QString& oldPath,
                                   const QString& oldMedia, const QString& newMedia,
                                   const QString& why, const NotebookFollow* notebook)
{
    state_.unitFilePath = oldPath;
    loadedBytes_.clear();
    loadedPath_.clear();
    QStringList left;
    if (!oldMedia.isEmpty() && !QDir().rename(newMedia, oldMedia))
        left
            << QStringLiteral("the media folder is now %1").arg(QDir::toNativeSeparators(newMedia));
    if (notebook && !writeFileAtomically(notebook->path, notebook->before, false, *steps_).ok)
        left << QStringLiteral("the Sentence Notebook %1 still names the new media folder")
                    .arg(QDir::toNativeSeparators(notebook->path));
    if (!steps_->remove(QFile::encodeName(newPath)))
        left << QStringLiteral("the new file %1 could not be taken away: remove it before the "
                               "next start, or the Unit is listed twice")
                    .arg(QDir::toNativeSeparators(newPath));
    QString message =
        QStringLiteral("%1 was not renamed: %2. The rename was undone").arg(unitName_, why);
    message += left.isEmpty() ? QStringLiteral("; the Unit keeps its name and file")
                              : QStringLiteral(", but ") + left.join(QStringLiteral("; "));
    lastError_ = message;
    return UnitResult::failure(message);
}

UnitResult UnitLibrary::deleteOpenUnit()
{
    if (openPosition_ <= 0 || state_.isNotebook || state_.unitFilePath.isEmpty())
        return UnitResult::failure(QStringLiteral("the Sentence Notebook cannot be deleted"));
    const QString path = state_.unitFilePath;
    if (QFileInfo::exists(path) && !steps_->remove(QFile::encodeName(path)))
        return UnitResult::failure(
            QStringLiteral("cannot delete %1: %2")
                .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(errno))));
    ReviewMarks::removeFileOf(path, *steps_);
    marks_.close();
    const int position = openPosition_;
    completion_.removePosition(position);
    names_.removeAt(position);
    percentTexts_.removeAt(position);
    // Emptied first, so that opening the Notebook does not write the deleted
    // file again.
    state_.unitFilePath.clear();
    openPosition_ = -1;
    emit listChanged();
    OpenUnit(0);
    UpdateTotal();
    return {};
}

} // namespace dictora
