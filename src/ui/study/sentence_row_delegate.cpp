// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/study/sentence_row_delegate.h"

#include "core/study/number_text.h"
#include "core/study/review_marks.h"
#include "core/study/row_look.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "ui/widgets/dialog_colours.h"
#include "ui/widgets/ui_font.h"

#include <QLinearGradient>
#include <QPainter>

namespace dictora {

namespace {

constexpr int kRowHeight = 35;

const QColor kPlainText{33, 33, 66};
const QColor kPlainTextCurrent{250, 250, 160};
const QColor kMarkerLight = QColor::fromRgba(0xFFD2E6FF);
const QColor kListColour = QColor::fromRgba(0xFFD1EDD4);

// The fonts of the time columns: 27 pixels of cell height.
QFont plainFont(bool bold)
{
    QFont font = uiFont();
    font.setPixelSize(20);
    if (bold)
        font.setWeight(QFont::DemiBold);
    return font;
}

void fillBand(QPainter& p, const QRect& band, QRgb top, QRgb bottom)
{
    QLinearGradient g(band.topLeft(), band.bottomLeft());
    g.setColorAt(0, QColor::fromRgba(top));
    g.setColorAt(1, QColor::fromRgba(bottom));
    p.fillRect(band, g);
}

} // namespace

SentenceRowDelegate::SentenceRowDelegate(const SentenceTable& table, const StudyState& state,
                                         QObject* parent)
    : QStyledItemDelegate(parent), table_(table), state_(state), boldFont_(plainFont(true)),
      normalFont_(plainFont(false)), texts_(kRowHeight)
{
}

QSize SentenceRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {option.rect.width(), kRowHeight};
}

void SentenceRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= table_.rowCount())
        return;
    painter->save();
    paintRow(*painter, index.row(), option.rect);
    painter->restore();
}

void SentenceRowDelegate::paintRow(QPainter& p, int row, const QRect& itemRect) const
{
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                     QPainter::TextAntialiasing);
    if (state_.now.date() != todayDate_) {
        todayDate_ = state_.now.date();
        today_ = todayDate_.toString(QStringLiteral("yyyyMMdd"));
    }
    const SentenceRow& fields = table_.row(row);
    const RowLook look =
        rowLook(fields, row, state_, selectedPoint_ ? *selectedPoint_ : -1000, today_);
    const int right = drawWidth_ > 0 ? drawWidth_ : itemRect.right() + 1;
    const QRect rect(0, itemRect.top(), right, itemRect.height());
    const int top = rect.top();
    const int height = rect.height();

    // Background.
    p.fillRect(rect, kSentenceListBackground);
    if (look.bandTop != 0) {
        const int inset = look.current ? 1 : 0;
        fillBand(p, QRect(rect.left(), top + inset, rect.width() - 2, height - inset),
                 look.bandTop, look.bandBottom);
    }

    if (look.title) {
        texts_.draw(p, look.text, look.emSize,
                    QRectF(look.textLeft, top, rect.width() - 2 * look.textLeft, height),
                    look.current);
        return;
    }

    // The status marker: a light strip, and over it the marker's colour.
    const QRect strip(0, top + 2, kMarkerRight, height - 4);
    QLinearGradient light(strip.topLeft(), strip.topRight());
    light.setColorAt(0, kMarkerLight);
    light.setColorAt(1, kListColour);
    p.fillRect(strip, light);
    const MarkerPaint marker = markerPaint(look.marker);
    if (marker.style == MarkerPaint::Solid) {
        p.fillRect(strip, QColor::fromRgba(marker.argb));
    } else if (marker.style == MarkerPaint::Gradient) {
        QLinearGradient g(strip.topLeft(), strip.topLeft() + QPoint(strip.width(), strip.width()));
        g.setColorAt(0, QColor::fromRgba(marker.argb));
        g.setColorAt(1, kListColour);
        p.fillRect(strip, g);
    }
    if (reviewMarks_ && reviewMarks_->reasonAt(row))
        p.fillRect(QRect(strip.left(), strip.top(), kReviewBandWidth, strip.height()),
                   QColor::fromRgba(kReviewBandArgb));

    if (look.timeColumns) {
        p.setFont(look.current ? boldFont_ : normalFont_);
        p.setPen(look.current ? kPlainTextCurrent : kPlainText);
        const QRect startBox(kMarkerRight, top, kStartColumnRight - kMarkerRight, height);
        const QRect endBox(kStartColumnRight, top, kEndColumnRight - kStartColumnRight, height);
        p.drawText(startBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   timePointText(textToUInt(fields[StartMs])));
        p.drawText(endBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   timePointText(textToUInt(fields[EndMs])));
        const QColor grey(128, 128, 128);
        p.fillRect(QRect(kStartColumnRight - 1, top, 1, height), grey);
        p.fillRect(QRect(kEndColumnRight - 1, top, 1, height), grey);
        if (look.pointBar != 0) {
            const QRect column = look.pointBar == 1 ? startBox : endBox;
            p.fillRect(QRect(column.left(), top + height - 3, column.width(), 3),
                       QColor(255, 128, 255));
        }
    }
    texts_.draw(p, look.text, look.emSize,
                QRectF(look.textLeft, top, right - look.textLeft, height), look.current);
}

} // namespace dictora
