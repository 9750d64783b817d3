// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/widgets/outlined_texts.h"

#include <QDate>
#include <QFont>
#include <QStyledItemDelegate>

namespace dictora {

class ReviewMarks;
class SentenceTable;
struct StudyState;

// Draws the rows of the sentence list straight from the sentence table:
// title rows as tinted bands with the Section title, sentence rows with the
// status marker, the time columns in Edit mode and the sentence text. What a
// row shows and in which colours is decided in core (rowLook); texts are
// drawn outlined, each outlined picture made once and kept.
class SentenceRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    SentenceRowDelegate(const SentenceTable& table, const StudyState& state, QObject* parent);

    // Where to read the time point marked under the current row in Edit
    // mode (1 start, 2 end; anything else marks none): the list's own field.
    void watchSelectedPoint(const int* point) { selectedPoint_ = point; }
    // Where to read which rows wait for the learner's look; none: no row does.
    void watchReviewMarks(const ReviewMarks* marks) { reviewMarks_ = marks; }
    // Right edge of the drawing: the panel width less room for the scroll bar.
    void setDrawWidth(int width) { drawWidth_ = width; }
    int drawWidth() const { return drawWidth_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Painting a frame of the list starts: texts whose outlined picture is
    // not made yet get a few milliseconds; the others are drawn plain and
    // wait for makeWaitingPictures.
    void beginFrame() { texts_.beginFrame(); }
    bool hasWaitingPictures() const { return texts_.hasWaiting(); }
    // Makes waiting pictures for up to budgetMs; true when some still wait.
    bool makeWaitingPictures(int budgetMs) { return texts_.makeWaiting(budgetMs); }
    // Forgets every kept picture (they are made again as rows are drawn).
    void clearCaches() { texts_.clear(); }
    int picturesMade() const { return texts_.picturesMade(); }

private:
    void paintRow(QPainter& p, int row, const QRect& rect) const;

    const SentenceTable& table_;
    const StudyState& state_;
    const int* selectedPoint_ = nullptr;
    const ReviewMarks* reviewMarks_ = nullptr;
    int drawWidth_ = 0;
    QFont boldFont_;
    QFont normalFont_;
    mutable OutlinedTexts texts_;
    mutable QString today_;
    mutable QDate todayDate_;
};

} // namespace dictora
