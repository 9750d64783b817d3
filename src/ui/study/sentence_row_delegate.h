// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCache>
#include <QElapsedTimer>
#include <QList>
#include <QDate>
#include <QFont>
#include <QImage>
#include <QStyledItemDelegate>

namespace dictora {

class SentenceTable;
struct StudyState;

// Draws the rows of the sentence list straight from the sentence table:
// title rows as tinted bands with the Section title, sentence rows with the
// status marker, the time columns in Edit mode and the sentence text. Texts
// are drawn outlined; the picture of each outlined text is made once and kept.
class SentenceRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    SentenceRowDelegate(const SentenceTable& table, const StudyState& state, QObject* parent);

    // Where to read the time point marked under the current row in Edit
    // mode (1 start, 2 end; anything else marks none): the list's own field.
    void watchSelectedPoint(const int* point) { selectedPoint_ = point; }
    // Right edge of the drawing: the panel width less room for the scroll bar.
    void setDrawWidth(int width) { drawWidth_ = width; }
    int drawWidth() const { return drawWidth_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Painting a frame of the list starts: texts whose outlined picture is
    // not made yet get a few milliseconds; the others are drawn plain and
    // wait for makeWaitingPictures.
    void beginFrame();
    bool hasWaitingPictures() const { return !waiting_.isEmpty(); }
    // Makes waiting pictures for up to budgetMs; true when some still wait.
    bool makeWaitingPictures(int budgetMs);

    // Forgets every kept picture (they are made again as rows are drawn).
    void clearCaches()
    {
        pictures_.clear();
        waiting_.clear();
    }

    int picturesMade() const { return picturesMade_; }

private:
    void paintRow(QPainter& p, int row, const QRect& rect) const;
    void drawOutlinedText(QPainter& p, const QString& text, int emSize, const QRectF& box,
                          bool current) const;
    const QImage& textPicture(const QString& text, int emSize, bool current,
                              qreal pixelRatio) const;
    const QImage* cachedPicture(const QString& text, int emSize, bool current,
                                qreal pixelRatio) const;
    static QString pictureKey(const QString& text, int emSize, bool current);

    struct WaitingText {
        QString text;
        int emSize;
        bool current;
        qreal pixelRatio;
        bool operator==(const WaitingText&) const = default;
    };

    const SentenceTable& table_;
    const StudyState& state_;
    const int* selectedPoint_ = nullptr;
    int drawWidth_ = 0;
    QFont boldFont_;
    QFont normalFont_;
    mutable QCache<QString, QImage> pictures_;
    mutable QString today_;
    mutable QDate todayDate_;
    mutable int picturesMade_ = 0;
    mutable QList<WaitingText> waiting_;
    QElapsedTimer frameClock_;
};

} // namespace dictora
