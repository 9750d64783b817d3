// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCache>
#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

namespace dictora {

// Texts drawn with a one-pixel outline, in two colour sets (the current
// row's and the others'). The picture of each outlined text is made once
// and kept; within one frame only a few milliseconds go to new pictures,
// and the texts over that budget are drawn plain until makeWaiting has
// made theirs (the owner repaints then).
class OutlinedTexts {
public:
    // height: the pictures' height in pixels (a row of the list).
    explicit OutlinedTexts(int height);

    // Draws text at emSize pixels, left-aligned and centred in box.
    void draw(QPainter& p, const QString& text, int emSize, const QRectF& box, bool current);

    // Painting a frame starts: its budget for new pictures starts.
    void beginFrame() { frameClock_.start(); }
    bool hasWaiting() const { return !waiting_.isEmpty(); }
    // Makes waiting pictures for up to budgetMs; true when some still wait.
    bool makeWaiting(int budgetMs);
    // Forgets every kept picture (they are made again as texts are drawn).
    void clear()
    {
        pictures_.clear();
        waiting_.clear();
    }
    int picturesMade() const { return picturesMade_; }

private:
    const QImage& picture(const QString& text, int emSize, bool current, qreal pixelRatio);
    const QImage* cached(const QString& text, int emSize, bool current, qreal pixelRatio) const;
    static QString key(const QString& text, int emSize, bool current);

    struct Waiting {
        QString text;
        int emSize;
        bool current;
        qreal pixelRatio;
        bool operator==(const Waiting&) const = default;
    };

    int height_;
    QCache<QString, QImage> pictures_;
    QList<Waiting> waiting_;
    int picturesMade_ = 0;
    QElapsedTimer frameClock_;
};

} // namespace dictora
