// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/study/waveform_strip.h"

#include "core/media/media_player.h"
#include "core/media/span_scaling.h"
#include "core/study/number_text.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/time_drag.h"
#include "core/study/waveform_strip_place.h"
#include "platform/media/media_analysis.h"
#include "ui/study/sentence_list.h"
#include "ui/study/sentence_row_delegate.h"
#include "ui/widgets/study_services.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace dictora {

namespace {

constexpr int kFollowMs = 50;
// The text column's left edge in Edit mode, right of the two time columns.
constexpr int kLeft = 330;
constexpr int kGrabPixels = 6;
const QColor kGround(24, 40, 48);
const QColor kWave(110, 200, 230);
const QColor kSpanGround(36, 64, 80);
const QColor kStartMark(80, 240, 120);
const QColor kEndMark(255, 110, 110);

} // namespace

WaveformStrip::WaveformStrip(SentenceList& list, StudyServices& services, MediaAnalysis* analysis)
    : QWidget(list.viewport()), list_(list), services_(services), analysis_(analysis)
{
    setObjectName(QStringLiteral("waveformStrip"));
    setCursor(Qt::SizeHorCursor);
    hide();
    if (analysis_)
        connect(analysis_, &MediaAnalysis::analysed, this, [this](const QString& path) {
            if (path == path_)
                follow();
        }, Qt::QueuedConnection);
    timer_.setInterval(kFollowMs);
    connect(&timer_, &QTimer::timeout, this, &WaveformStrip::follow);
    timer_.start();
}

void WaveformStrip::follow()
{
    const StudyState& state = services_.state;
    const SentenceTable& table = services_.sentences;
    const int row = state.currentRow;
    MediaPlayer* player = services_.player;
    const bool wanted = state.editMode && player && table.isValidRow(row) &&
                        table.isSentence(row) && !player->mediaPathOfRow(row).isEmpty();
    if (!wanted) {
        dragging_ = 0;
        hide();
        return;
    }
    const QString path = player->mediaPathOfRow(row);
    // The row's times against the real length, once the player has the file open.
    realMs_ = path == state.mediaFilePath ? state.openMediaLengthMs : 0;
    declaredMs_ = path == state.mediaFilePath ? player->declaredLengthMs() : 0;
    const int start = scaleToMedia(textToInt(table.field(row, StartMs)), realMs_, declaredMs_);
    const int end = scaleToMedia(textToInt(table.field(row, EndMs)), realMs_, declaredMs_);
    std::shared_ptr<const WaveformPeaks> peaks = analysis_ ? analysis_->peaks(path) : nullptr;
    const bool changed = row != row_ || path != path_ || start != startMs_ || end != endMs_ ||
                         peaks != peaks_;
    row_ = row;
    path_ = path;
    startMs_ = start;
    endMs_ = std::max(end, start);
    peaks_ = std::move(peaks);
    if (!dragging_) {
        viewFromMs_ = std::max(startMs_ - kMarginMs, 0);
        viewToMs_ = std::max(endMs_ + kMarginMs, viewFromMs_ + 1);
    }

    // Over the text column only: the time columns of the rows around stay
    // readable while a mark is moved; within the rows' drawing, which leaves
    // room for the scroll bar.
    QWidget* view = list_.viewport();
    WaveformStripPlaceInput in;
    in.row = list_.visualRect(table.index(row, 0));
    in.view = view->rect();
    in.left = kLeft;
    in.right = list_.rowDelegate()->drawWidth() > 0
                   ? std::min(list_.rowDelegate()->drawWidth(), view->width())
                   : view->width();
    in.height = kHeight;
    if (coveringWindows_)
        for (const QRect& global : coveringWindows_())
            in.covered.append(QRect(view->mapFromGlobal(global.topLeft()), global.size()));
    const std::optional<QRect> placeFound = waveformStripPlace(in);
    if (!placeFound) {
        hide();
        return;
    }
    const QRect place = *placeFound;
    if (geometry() != place)
        setGeometry(place);
    if (isHidden()) {
        show();
        raise();
    }
    if (changed)
        update();
}

int WaveformStrip::timeAt(int x) const
{
    const int w = std::max(width(), 1);
    return viewFromMs_ + int(qint64(x) * (viewToMs_ - viewFromMs_) / w);
}

int WaveformStrip::xOf(int timeMs) const
{
    return int(qint64(timeMs - viewFromMs_) * width() / std::max(viewToMs_ - viewFromMs_, 1));
}

int WaveformStrip::storedOf(int mediaMs) const
{
    if (realMs_ <= 0 || declaredMs_ <= 0)
        return mediaMs;
    return int(qint64(mediaMs) * declaredMs_ / realMs_);
}

void WaveformStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kGround);
    const int spanLeft = xOf(startMs_);
    const int spanRight = xOf(endMs_);
    p.fillRect(QRect(spanLeft, 0, std::max(spanRight - spanLeft, 1), height()), kSpanGround);
    const int middle = height() / 2;
    if (peaks_) {
        p.setPen(kWave);
        for (int x = 0; x < width(); ++x) {
            const int level = peaks_->highest(timeAt(x), timeAt(x + 1));
            const int half = level * (middle - 2) / 255;
            if (half > 0)
                p.drawLine(x, middle - half, x, middle + half);
        }
    } else {
        p.setPen(QColor(200, 200, 200));
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("正在读取波形…"));
    }
    const int point = list_.selectedPoint;
    auto mark = [&](int timeMs, const QColor& colour, bool chosen) {
        const int x = xOf(timeMs);
        p.fillRect(QRect(x - (chosen ? 1 : 0), 0, chosen ? 3 : 1, height()), colour);
        p.fillRect(QRect(x - 4, 0, 9, 6), colour);
    };
    mark(dragging_ == 1 ? dragMs_ : startMs_, kStartMark, point == 1);
    mark(dragging_ == 2 ? dragMs_ : endMs_, kEndMark, point == 2);
}

void WaveformStrip::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int x = int(event->position().x());
    const int toStart = std::abs(x - xOf(startMs_));
    const int toEnd = std::abs(x - xOf(endMs_));
    if (std::min(toStart, toEnd) > kGrabPixels)
        return;
    dragging_ = toStart < toEnd ? 1 : 2;
    dragMs_ = dragging_ == 1 ? startMs_ : endMs_;
    update();
}

void WaveformStrip::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return;
    dragMs_ = snapDraggedTime(timeAt(int(event->position().x())));
    update();
}

void WaveformStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    const int point = dragging_;
    dragging_ = 0;
    list_.dragTimePoint(point, snapDraggedTime(storedOf(dragMs_)));
    follow();
    update();
}

} // namespace dictora
