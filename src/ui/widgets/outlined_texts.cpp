// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/outlined_texts.h"

#include "ui/widgets/ui_font.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace dictora {

namespace {

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

} // namespace

OutlinedTexts::OutlinedTexts(int height) : height_(height), pictures_(kCachedPictureKb) {}

bool OutlinedTexts::makeWaiting(int budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!waiting_.isEmpty() && clock.elapsed() < budgetMs) {
        const Waiting text = waiting_.takeFirst();
        picture(text.text, text.emSize, text.current, text.pixelRatio);
    }
    return !waiting_.isEmpty();
}

void OutlinedTexts::draw(QPainter& p, const QString& text, int emSize, const QRectF& box,
                         bool current)
{
    if (text.isEmpty() || box.width() <= 0)
        return;
    const qreal pixelRatio = p.device()->devicePixelRatioF();
    const QImage* made = cached(text, emSize, current, pixelRatio);
    if (!made && (!frameClock_.isValid() || frameClock_.elapsed() < kFrameBudgetMs))
        made = &picture(text, emSize, current, pixelRatio);
    if (!made) {
        // Over the frame's budget: the text in its fill colour for now, the
        // outlined picture right after the frame.
        const Waiting waiting{text, emSize, current, pixelRatio};
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
        QSizeF(std::min(box.width(), made->deviceIndependentSize().width()), box.height()));
    p.drawImage(shown, *made, QRectF(QPointF(0, 0), shown.size() * made->devicePixelRatio()));
}

QString OutlinedTexts::key(const QString& text, int emSize, bool current)
{
    return QString::number(emSize) + (current ? u'c' : u'n') + u'\x1f' + text;
}

const QImage* OutlinedTexts::cached(const QString& text, int emSize, bool current,
                                    qreal pixelRatio) const
{
    const QImage* found = pictures_.object(key(text, emSize, current));
    return found && found->devicePixelRatio() == pixelRatio ? found : nullptr;
}

const QImage& OutlinedTexts::picture(const QString& text, int emSize, bool current,
                                     qreal pixelRatio)
{
    if (const QImage* found = cached(text, emSize, current, pixelRatio))
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
    const QPointF origin(1, (height_ - metrics.height()) / 2);
    const QList<QGlyphRun> runs = layout.glyphRuns();
    const QSize size(int(std::ceil((line.naturalTextWidth() + 3) * pixelRatio)),
                     int(std::ceil(height_ * pixelRatio)));
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
    auto* made = new QImage(size, QImage::Format_ARGB32_Premultiplied);
    made->setDevicePixelRatio(pixelRatio);
    made->fill(Qt::transparent);
    painter.begin(made);
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
    const QString k = key(text, emSize, current);
    pictures_.insert(k, made, std::max<qsizetype>(1, made->sizeInBytes() / 1024));
    return *pictures_.object(k);
}

} // namespace dictora
