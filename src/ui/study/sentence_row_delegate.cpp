// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/study/sentence_row_delegate.h"

#include "core/study/number_text.h"
#include "core/study/sentence_list_rules.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "ui/widgets/dialog_colours.h"
#include "ui/widgets/ui_font.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace dictora {

namespace {

constexpr int kRowHeight = 35;
constexpr int kMarkerWidth = 30;
constexpr int kStartColumnRight = 180;
constexpr int kEndColumnRight = 330;
// Outlined pictures made while painting one frame; the rest come right
// after it, so that a frame of new rows stays smooth.
constexpr int kFrameBudgetMs = 7;
constexpr int kMostWaiting = 200;
// Pictures of outlined texts, in KB: some 20 screens of rows.
constexpr int kCachedPictureKb = 48 * 1024;

const QColor kOutline = QColor::fromRgba(0x80808080);
const QColor kOutlineCurrent = QColor::fromRgba(0xA0C0C040);
const QColor kFill = QColor::fromRgba(0xFA424258);
const QColor kFillCurrent = QColor::fromRgba(0xFFFFFF80);
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

} // namespace

SentenceRowDelegate::SentenceRowDelegate(const SentenceTable& table, const StudyState& state,
                                         QObject* parent)
    : QStyledItemDelegate(parent), table_(table), state_(state), boldFont_(plainFont(true)),
      normalFont_(plainFont(false)), pictures_(kCachedPictureKb)
{
}

QSize SentenceRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {option.rect.width(), 35};
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

void SentenceRowDelegate::beginFrame()
{
    frameClock_.start();
}

bool SentenceRowDelegate::makeWaitingPictures(int budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!waiting_.isEmpty() && clock.elapsed() < budgetMs) {
        const WaitingText text = waiting_.takeFirst();
        textPicture(text.text, text.emSize, text.current, text.pixelRatio);
    }
    return !waiting_.isEmpty();
}

void SentenceRowDelegate::drawOutlinedText(QPainter& p, const QString& text, int emSize,
                                           const QRectF& box, bool current) const
{
    if (text.isEmpty() || box.width() <= 0)
        return;
    const qreal pixelRatio = p.device()->devicePixelRatioF();
    const QImage* picture = cachedPicture(text, emSize, current, pixelRatio);
    if (!picture && (!frameClock_.isValid() || frameClock_.elapsed() < kFrameBudgetMs))
        picture = &textPicture(text, emSize, current, pixelRatio);
    if (!picture) {
        // Over the frame's budget: the text in its fill colour for now, the
        // outlined picture right after the frame (the list repaints then).
        const WaitingText waiting{text, emSize, current, pixelRatio};
        // Only the texts of the last screens are worth making.
        if (!waiting_.contains(waiting))
            waiting_.append(waiting);
        if (waiting_.size() > kMostWaiting)
            waiting_.removeFirst();
        QFont font = uiFont();
        font.setPixelSize(emSize);
        p.save();
        p.setClipRect(box, Qt::IntersectClip);
        p.setFont(font);
        p.setPen(current ? kFillCurrent : kFill);
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        p.restore();
        return;
    }
    const QRectF shown(
        box.topLeft(),
        QSizeF(std::min(box.width(), picture->deviceIndependentSize().width()), box.height()));
    p.drawImage(shown, *picture, QRectF(QPointF(0, 0), shown.size() * picture->devicePixelRatio()));
}

QString SentenceRowDelegate::pictureKey(const QString& text, int emSize, bool current)
{
    return QString::number(emSize) + (current ? u'c' : u'n') + u'\x1f' + text;
}

const QImage* SentenceRowDelegate::cachedPicture(const QString& text, int emSize, bool current,
                                                 qreal pixelRatio) const
{
    const QImage* found = pictures_.object(pictureKey(text, emSize, current));
    return found && found->devicePixelRatio() == pixelRatio ? found : nullptr;
}

const QImage& SentenceRowDelegate::textPicture(const QString& text, int emSize, bool current,
                                               qreal pixelRatio) const
{
    if (const QImage* found = cachedPicture(text, emSize, current, pixelRatio))
        return *found;
    // The outline is the text's own picture dilated by a pixel: the glyphs
    // are laid out and drawn once from the font's glyph cache, and the
    // picture is copied around itself, which costs a fraction of filling
    // and stroking the text as a path.
    QFont font = uiFont();
    font.setPixelSize(emSize);
    QTextLayout layout(text, font);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLeadingIncluded(false);
    layout.endLayout();
    const QFontMetricsF metrics(font);
    const QPointF origin(1, (kRowHeight - metrics.height()) / 2);
    const QList<QGlyphRun> runs = layout.glyphRuns();
    const QSize size(int(std::ceil((line.naturalTextWidth() + 3) * pixelRatio)),
                     int(std::ceil(kRowHeight * pixelRatio)));
    // The text drawn once, in its fill colour...
    QImage fill(size, QImage::Format_ARGB32_Premultiplied);
    fill.setDevicePixelRatio(pixelRatio);
    fill.fill(Qt::transparent);
    QPainter painter(&fill);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(current ? kFillCurrent : kFill);
    for (const QGlyphRun& run : runs)
        painter.drawGlyphRun(origin, run);
    painter.end();
    // ...copied to the eight neighbouring pixels gives the outline's shape,
    // which takes the outline's colour; the text goes on top.
    auto* picture = new QImage(size, QImage::Format_ARGB32_Premultiplied);
    picture->setDevicePixelRatio(pixelRatio);
    picture->fill(Qt::transparent);
    painter.begin(picture);
    static constexpr QPointF kAround[] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                          {1, 0},   {-1, 1}, {0, 1},  {1, 1}};
    for (const QPointF& offset : kAround)
        painter.drawImage(offset, fill);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(size) / pixelRatio),
                     current ? kOutlineCurrent : kOutline);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPointF(0, 0), fill);
    painter.end();
    ++picturesMade_;
    const QString key = pictureKey(text, emSize, current);
    pictures_.insert(key, picture, std::max<qsizetype>(1, picture->sizeInBytes() / 1024));
    return *pictures_.object(key);
}

void SentenceRowDelegate::paintRow(QPainter& p, int row, const QRect& itemRect) const
{
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                     QPainter::TextAntialiasing);
    const SentenceRow& fields = table_.row(row);
    const bool title = fields[Kind] == u"0";
    const int right = drawWidth_ > 0 ? drawWidth_ : itemRect.right() + 1;
    const QRect rect(0, itemRect.top(), right, itemRect.height());
    const int top = rect.top();
    const int height = rect.height();
    const int bottom = top + height;
    const bool current = state_.currentRow >= 0 && row == state_.currentRow;

    // Background.
    if (current) {
        const QRect band(rect.left(), top + 1, rect.width() - 2, height - 1);
        QLinearGradient g(band.topLeft(), band.bottomLeft());
        g.setColorAt(0, QColor::fromRgba(0xFF40C0FF));
        g.setColorAt(1, QColor::fromRgba(0xFA0072C6));
        p.fillRect(rect, kSentenceListBackground);
        p.fillRect(band, g);
    } else if (title) {
        const QRect band(rect.left(), top, rect.width() - 2, height);
        QLinearGradient g(band.topLeft(), band.bottomLeft());
        g.setColorAt(0, QColor::fromRgba(state_.editMode ? 0xFFFAF0FA : 0xFFFAFAFA));
        g.setColorAt(1, QColor::fromRgba(state_.editMode ? 0xF0FA80FA : 0xE6C8C8D2));
        p.fillRect(rect, kSentenceListBackground);
        p.fillRect(band, g);
    } else {
        p.fillRect(rect, kSentenceListBackground);
    }

    if (title) {
        drawOutlinedText(p, fields[SectionTitle], current ? 24 : 23,
                         QRectF(5, top, rect.width() - 10, height), current);
        return;
    }

    // The status marker.
    const QRect strip(0, top + 2, kMarkerWidth, height - 4);
    QLinearGradient light(strip.topLeft(), strip.topRight());
    light.setColorAt(0, kMarkerLight);
    light.setColorAt(1, kListColour);
    p.fillRect(strip, light);
    if (state_.now.date() != todayDate_) {
        todayDate_ = state_.now.date();
        today_ = todayDate_.toString(QStringLiteral("yyyyMMdd"));
    }
    const auto overlay = [&](QRgb from) {
        QLinearGradient g(strip.topLeft(), strip.topLeft() + QPoint(strip.width(), strip.width()));
        g.setColorAt(0, QColor::fromRgba(from));
        g.setColorAt(1, kListColour);
        p.fillRect(strip, g);
    };
    switch (rowMarker(fields, today_)) {
    case RowMarker::TodayWeak:
        overlay(0xC0FF0000);
        break;
    case RowMarker::TodayStrong:
        p.fillRect(strip, QColor(8, 240, 8));
        break;
    case RowMarker::LearnedBefore:
        overlay(0xA03CFF3C);
        break;
    case RowMarker::New:
        break;
    }

    // The time columns of Edit mode.
    if (state_.editMode) {
        p.setFont(current ? boldFont_ : normalFont_);
        p.setPen(current ? kPlainTextCurrent : kPlainText);
        const QRect startBox(kMarkerWidth, top, kStartColumnRight - kMarkerWidth, height);
        const QRect endBox(kStartColumnRight, top, kEndColumnRight - kStartColumnRight, height);
        p.drawText(startBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   timePointText(textToUInt(fields[StartMs])));
        p.drawText(endBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   timePointText(textToUInt(fields[EndMs])));
        const QColor grey(128, 128, 128);
        p.fillRect(QRect(kStartColumnRight - 1, top, 1, height), grey);
        p.fillRect(QRect(kEndColumnRight - 1, top, 1, height), grey);
        const int point = selectedPoint_ ? *selectedPoint_ : -1000;
        if (current && (point == 1 || point == 2)) {
            const int left = point == 1 ? kMarkerWidth : kStartColumnRight;
            const int barRight = point == 1 ? kStartColumnRight : kEndColumnRight;
            p.fillRect(QRect(left, bottom - 3, barRight - left, 3), QColor(255, 128, 255));
        }
    }

    // The learner must not see the sentence being dictated.
    if (current && state_.dictationMode)
        return;
    const int x = state_.editMode ? kEndColumnRight : kMarkerWidth;
    drawOutlinedText(p, fields[Text], current ? 23 : 22, QRectF(x, top, right - x, height),
                     current);
}

} // namespace dictora
