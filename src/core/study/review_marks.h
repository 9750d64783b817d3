// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/file_replacement.h"
#include "core/study/review_mark_file.h"

#include <QObject>

namespace dictora {

struct StudyState;

// The rows of the open Unit that wait for the learner's look, and their
// reasons. While the Unit is open a mark stays with its row through the
// table's inserts, removals and edits; in its file (reviewMarksPath) it names
// its row by times and text. A row's mark clears once the learner has seen
// the row in Edit mode, the mode in which text and times are checked and
// set. A marks file that cannot be read or makes no sense is left alone and
// marks nothing; the Unit file is never touched here.
class ReviewMarks : public QObject {
    Q_OBJECT
public:
    explicit ReviewMarks(SentenceTable& table, QObject* parent = nullptr);

    std::optional<ReviewReason> reasonAt(int row) const;
    int count() const { return count_; }

    void mark(int row, ReviewReason reason);
    // Rows imported at table row first on: rows[i] now stands at first + i
    // and is marked with reasons[i] (when it has one and the row still holds
    // it). Returns how many were marked.
    int markImported(int first, const std::vector<SentenceRow>& rows,
                     const std::vector<std::optional<ReviewReason>>& reasons);
    // The row is on show as the current row: in Edit mode that is the
    // learner's look, and its mark clears. True when a mark cleared.
    bool lookedAt(int row, const StudyState& state);

    // --- the file ---
    // Reads the marks of the Unit file at unitFilePath for the rows in the
    // table now.
    void open(const QString& unitFilePath);
    // Forgets the open Unit's marks (its file stays).
    void close();
    const QString& unitFilePath() const { return unitFilePath_; }
    // Marks changed since the file was read or written.
    bool hasUnsavedChanges() const { return changed_; }
    // Writes the marks as the rows stand now, when they changed; no mark
    // left removes the file. A file that could not be read is replaced only
    // once there is a mark to keep.
    WriteOutcome save(FileSteps& steps = systemFileSteps());
    // The open Unit's file was renamed to unitFilePath: its marks file
    // follows, so the marks stay with it.
    WriteOutcome follow(const QString& unitFilePath, FileSteps& steps = systemFileSteps());
    // Removes the marks file of a Unit file (deleted, or made new).
    static void removeFileOf(const QString& unitFilePath, FileSteps& steps = systemFileSteps());

signals:
    void changed();

private:
    void set(int row, std::optional<ReviewReason> reason);
    std::vector<StoredReviewMark> stored() const;

    SentenceTable& table_;
    std::vector<std::optional<ReviewReason>> reasons_;
    int count_ = 0;
    QString unitFilePath_;
    bool changed_ = false;
    bool fileExists_ = false;
    bool fileUnreadable_ = false;
    QByteArray savedBytes_;
};

} // namespace dictora
