// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/review_marks.h"

#include "core/study/study_state.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace dictora {

namespace {

// Far beyond the marks of any Unit; a larger file is not ours to read.
constexpr qint64 kMarksFileSizeLimit = 16 * 1024 * 1024;

} // namespace

ReviewMarks::ReviewMarks(SentenceTable& table, QObject* parent) : QObject(parent), table_(table)
{
    reasons_.resize(size_t(table.rowCount()));
    connect(&table, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                reasons_.insert(reasons_.begin() + first, size_t(last - first + 1), std::nullopt);
            });
    connect(&table, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                const auto from = reasons_.begin() + first;
                const auto to = reasons_.begin() + last + 1;
                const int gone =
                    int(std::count_if(from, to, [](const auto& r) { return bool(r); }));
                reasons_.erase(from, to);
                if (gone > 0) {
                    count_ -= gone;
                    changed_ = true;
                    emit changed();
                }
            });
    connect(&table, &QAbstractItemModel::modelReset, this, [this] {
        const bool had = count_ > 0;
        reasons_.assign(size_t(table_.rowCount()), std::nullopt);
        count_ = 0;
        if (had)
            emit changed();
    });
    connect(&table, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) {
                for (int r = from.row(); r <= to.row(); ++r) {
                    if (!reasons_[size_t(r)])
                        continue;
                    // The mark goes with its row; its file names the row by
                    // what it holds now. A row made a title is no sentence
                    // to check.
                    changed_ = true;
                    if (table_.isTitle(r))
                        set(r, std::nullopt);
                }
            });
}

std::optional<ReviewReason> ReviewMarks::reasonAt(int row) const
{
    return row >= 0 && size_t(row) < reasons_.size() ? reasons_[size_t(row)] : std::nullopt;
}

void ReviewMarks::set(int row, std::optional<ReviewReason> reason)
{
    std::optional<ReviewReason>& slot = reasons_[size_t(row)];
    if (slot == reason)
        return;
    count_ += int(bool(reason)) - int(bool(slot));
    slot = reason;
    changed_ = true;
    emit changed();
}

void ReviewMarks::mark(int row, ReviewReason reason)
{
    if (table_.isValidRow(row) && table_.isSentence(row))
        set(row, reason);
}

int ReviewMarks::markImported(int first, const std::vector<SentenceRow>& rows,
                              const std::vector<std::optional<ReviewReason>>& reasons)
{
    int marked = 0;
    for (size_t i = 0; i < rows.size() && i < reasons.size(); ++i) {
        const int row = first + int(i);
        if (!reasons[i] || !table_.isValidRow(row) ||
            !holdsMark(table_.row(row), storedMark(rows[i], *reasons[i])))
            continue;
        set(row, reasons[i]);
        ++marked;
    }
    return marked;
}

bool ReviewMarks::lookedAt(int row, const StudyState& state)
{
    if (!state.editMode || !reasonAt(row))
        return false;
    set(row, std::nullopt);
    return true;
}

std::vector<StoredReviewMark> ReviewMarks::stored() const
{
    std::vector<StoredReviewMark> marks;
    for (size_t r = 0; r < reasons_.size(); ++r)
        if (reasons_[r])
            marks.push_back(storedMark(table_.row(int(r)), *reasons_[r]));
    return marks;
}

void ReviewMarks::open(const QString& unitFilePath)
{
    close();
    unitFilePath_ = unitFilePath;
    QFile file(reviewMarksPath(unitFilePath));
    fileExists_ = file.exists();
    if (!fileExists_)
        return;
    std::optional<std::vector<StoredReviewMark>> marks;
    if (file.open(QIODevice::ReadOnly) && file.size() <= kMarksFileSizeLimit) {
        savedBytes_ = file.readAll();
        if (file.error() == QFileDevice::NoError)
            marks = decodeReviewMarks(savedBytes_);
    }
    fileUnreadable_ = !marks;
    if (!marks)
        return;
    reasons_ = matchReviewMarks(table_.rows(), *marks);
    count_ =
        int(std::count_if(reasons_.begin(), reasons_.end(), [](const auto& r) { return bool(r); }));
    // Marks whose rows are gone leave the file on the next save.
    changed_ = count_ < int(marks->size());
    if (count_ > 0)
        emit changed();
}

void ReviewMarks::close()
{
    const bool had = count_ > 0;
    reasons_.assign(size_t(table_.rowCount()), std::nullopt);
    count_ = 0;
    unitFilePath_.clear();
    changed_ = false;
    fileExists_ = false;
    fileUnreadable_ = false;
    savedBytes_.clear();
    if (had)
        emit changed();
}

WriteOutcome ReviewMarks::save(FileSteps& steps)
{
    if (unitFilePath_.isEmpty() || !changed_)
        return {true, false, {}};
    const QString path = reviewMarksPath(unitFilePath_);
    if (count_ == 0) {
        if (fileExists_ && !fileUnreadable_ && !steps.remove(QFile::encodeName(path)) &&
            errno != ENOENT)
            return {false, false,
                    QStringLiteral("cannot remove %1: %2")
                        .arg(path, QString::fromLocal8Bit(std::strerror(errno)))};
        if (!fileUnreadable_) {
            fileExists_ = false;
            savedBytes_.clear();
        }
        changed_ = false;
        return {true, false, {}};
    }
    QByteArray bytes = encodeReviewMarks(stored());
    if (fileExists_ && bytes == savedBytes_) {
        changed_ = false;
        return {true, false, {}};
    }
    const WriteOutcome written = replaceFileName(path, bytes, steps);
    if (!written.ok)
        return written;
    savedBytes_ = std::move(bytes);
    fileExists_ = true;
    fileUnreadable_ = false;
    changed_ = false;
    return written;
}

WriteOutcome ReviewMarks::follow(const QString& unitFilePath, FileSteps& steps)
{
    const QString oldPath = reviewMarksPath(unitFilePath_);
    const QString newPath = reviewMarksPath(unitFilePath);
    unitFilePath_ = unitFilePath;
    if (!fileExists_ || fileUnreadable_) {
        // Nothing of ours to carry over: what the marks are now is written
        // under the new name, over any file an older Unit of that name left
        // (a file left unread stays where it is).
        changed_ = true;
        fileExists_ = QFileInfo::exists(newPath);
        fileUnreadable_ = false;
        return save(steps);
    }
    if (steps.rename(QFile::encodeName(oldPath), QFile::encodeName(newPath)))
        return save(steps);
    // The rename failed: the marks are written anew under the new name and
    // the old file goes.
    fileExists_ = false;
    changed_ = true;
    const WriteOutcome written = save(steps);
    if (written.ok)
        steps.remove(QFile::encodeName(oldPath));
    return written;
}

void ReviewMarks::removeFileOf(const QString& unitFilePath, FileSteps& steps)
{
    const QString path = reviewMarksPath(unitFilePath);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        steps.remove(QFile::encodeName(path));
}

} // namespace dictora
