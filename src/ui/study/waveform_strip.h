// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace dictora {

class MediaAnalysis;
class SentenceList;
struct StudyServices;
struct WaveformPeaks;

// Edit mode's strip under the current sentence's text (the time columns
// stay free): the waveform of its span
// and two seconds either side, with the start and end marks. The marks
// follow the A/F/E/D keys as they move the times; dragging a mark sets its
// time in 10 ms steps within the limits of the keys, and the span plays
// again on release. The peaks come from the background analysis; until
// they are there the strip says so.
class WaveformStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 64;
    static constexpr int kMarginMs = 2000;

    WaveformStrip(SentenceList& list, StudyServices& services, MediaAnalysis* analysis);

    // Shows, places and fills the strip for the current row, or hides it.
    void follow();

    // The screen rectangles of windows that float over the list (the
    // dictation form); the strip keeps out from under them where it can.
    void setCoveringWindows(std::function<QList<QRect>()> covering)
    {
        coveringWindows_ = std::move(covering);
    }

    // The media time (ms) at x and the x of a media time, in the strip now shown.
    int timeAt(int x) const;
    int xOf(int timeMs) const;
    // The current span in the media's time, as the strip shows it.
    int startMs() const { return startMs_; }
    int endMs() const { return endMs_; }
    bool hasPeaks() const { return peaks_ != nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Stored time of a media time: the row's times are stated against the
    // Section's declared length.
    int storedOf(int mediaMs) const;

    SentenceList& list_;
    StudyServices& services_;
    MediaAnalysis* analysis_;
    std::function<QList<QRect>()> coveringWindows_;
    QTimer timer_;
    QString path_;
    std::shared_ptr<const WaveformPeaks> peaks_;
    int row_ = -1;
    int startMs_ = 0;
    int endMs_ = 0;
    int viewFromMs_ = 0;
    int viewToMs_ = 1;
    int realMs_ = 0;
    int declaredMs_ = 0;
    int dragging_ = 0; // point being dragged: 1 start, 2 end
    int dragMs_ = 0;
};

} // namespace dictora
