// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/video_surface.h"
#include "platform/media/video_frame_sink.h"

#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

namespace dictora {

class GstMediaCommands;
class StudyPanel;
class MediaPlayer;
class SpeechWorker;
class VoiceRecorder;
struct StudyState;

// The video surface of the media player: a black frameless window that shows
// the frames the media layer decodes for it, 500 x 300 centred on the screen
// whenever it appears. It is also where the player's and the recorder's
// 100 ms timer runs: that timer moves Line-by-line play on, unlocks typing
// in Dictation mode and saves or discards recordings as they stop.
//
// Keys and mouse: Space or a click pauses, resumes or replays; Left/Up and
// Right/Down select the neighbouring sentence outside Dictation mode; a
// double click enlarges the video over the screen and Escape (or another
// double click) restores it; the right button opens the sentence list's
// context menu; a drag moves the window, the right and bottom edges size it.
class MediaWindow : public QWidget, public VideoSurface, public VideoFrameSink {
    Q_OBJECT
public:
    // The number that names this surface in the media layer's open command.
    static constexpr uint32_t kSurfaceId = 1022;
    static constexpr int kTickMs = 100;

    MediaWindow(StudyPanel& panel, QWidget* owner);
    ~MediaWindow() override;

    // The sentence list's operation on a selection change: turns the current
    // row into a span and plays it, or speaks it. advancing is the list's
    // flag set by NextLine; it is consumed here. When no row is current,
    // returns the row the list is to select (its selection then plays it),
    // else kNone.
    int PlayRow(bool& advancing);
    // Plays the current span again (sound on only); stops a recording first.
    void ReplaySentence();
    void PauseMedia();
    void ResumeMedia();
    // What Space and a click do: pause when playing, else resume when
    // paused, else replay.
    void togglePlayback();

    // The video fills the screen (or all of it but the docked dictation strip).
    bool enlarged() const { return enlarged_; }
    void setEnlarged(bool on);
    // Kept in the top-most layer (the menu item "置顶").
    bool pinned() const { return pinned_; }
    void setPinned(bool on);
    // Forgets that the current sentence's sound has begun (spanPlaying and
    // speaking), when a mode change starts it over.
    void clearSpanFlags();
    // PlaySpan is waiting for the device to start.
    bool playBusy() const;

    // The frame on the surface now (null when none).
    const QImage& currentFrame() const { return frame_; }
    bool pausePictureShown() const { return pausedShown_; }
    // The message that speech could not start, while it is up.
    QMessageBox* speechFailureBox() const { return speechFailureBox_; }
    int framesShown() const { return framesShown_; }

    // One tick of the 100 ms timer; public so tests can step it.
    void tick();

    // VideoSurface
    void showVideo() override;
    void hideVideo() override;
    bool isVideoShown() const override { return isVisible(); }
    QSize windowSize() const override { return size(); }
    uint32_t surfaceId() const override { return kSurfaceId; }

    // VideoFrameSink
    void presentFrame(const QImage& frame) override;
    void placeVideo(const QRect& area) override;
    void clearVideo() override;

signals:
    // A recording of more than 4 seconds was kept as this file.
    void recordingSaved(const QString& path);
    // Line-by-line play has reached the end of the sentence (NextLine).
    void nextLineWanted();

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void keepDictationFormInFront();
    void placeNormal();
    void setTopMost(bool on);
    void selectRow(int row);
    void tickRecorder(int* recordStatus);
    void refreshPausePicture();
    void reportSaveFailure(const QString& reason);
    // Tells the learner once that sentences without media cannot be spoken.
    void reportSpeechFailure();

    StudyPanel& panel_;
    const StudyState& state_;
    MediaPlayer* player_;
    // The media layer that delivers frames here; null when the commands go
    // to another layer (a recording stand-in in tests).
    GstMediaCommands* videoOutput_ = nullptr;
    VoiceRecorder* recorder_;
    SpeechWorker* speech_;
    QTimer timer_;
    QTimer clickTimer_;
    QImage frame_;
    QImage pausePicture_;
    QPointer<QMessageBox> speechFailureBox_;
    QRect videoArea_;
    int framesShown_ = 0;
    bool enlarged_ = false;
    bool pinned_ = false;
    bool topMost_ = false;
    bool pausedShown_ = false;
    bool speechFailureShown_ = false;
    bool pressed_ = false;
    bool dragging_ = false;
    bool resizing_ = false;
    bool releaseAfterDoubleClick_ = false;
    QPoint pressPoint_;
    QRect pressGeometry_;
};

} // namespace dictora
