// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/media/media_window.h"

#include "core/media/media_commands.h"
#include "core/media/media_player.h"
#include "core/media/media_window_input.h"
#include "core/media/pause_picture.h"
#include "core/media/speech_output.h"
#include "core/media/voice_recorder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/widgets/dictation_notice.h"
#include "ui/widgets/resource_picture.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/listening_input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>
#include <QWindow>

namespace dictora {

namespace {

// Puts a window into the top-most layer or takes it out. The hint goes to
// the native window as it is: changing the widget's flags would make a new
// native window, which the windows it owns lose as their owner and which was
// not painted again until something covered it.
void setTopLayer(QWidget* window, bool on)
{
    if (!window)
        return;
    window->winId(); // the native window, made now if it is not yet
    QWindow* native = window->windowHandle();
    if (!native || native->flags().testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    native->setFlags(native->flags().setFlag(Qt::WindowStaysOnTopHint, on));
}

// The dictation form and the toolbar it carries go between the layers together.
void setDictationLayer(DictationForm* form, QWidget*, bool on)
{
    if (!form)
        return;
    setTopLayer(form, on);
    setTopLayer(form->toolbar(), on);
}

} // namespace

MediaWindow::MediaWindow(StudyPanel& panel, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), panel_(panel), state_(panel.state()),
      player_(panel.services().player), recorder_(panel.services().recorder),
      speech_(panel.services().speech), pausePicture_(LoadResourcePicture(res::kPauseSign))
{
    setObjectName(QStringLiteral("mediaWindow"));
    translatesListeningKeys(this);
    setWindowTitle(QStringLiteral("Dictora"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true); // the sizing cursor over the right and bottom edges
    setMinimumSize(kMediaWindowMinimum);
    setGeometry(centredMediaRect(QSize(panel.screenWidth, panel.screenHeight)));
    videoArea_ = videoArea(size());

    videoOutput_ = panel.services().media;
    if (videoOutput_)
        videoOutput_->registerVideoSink(kSurfaceId, this);
    if (player_)
        player_->setVideoSurface(this);
    if (recorder_)
        recorder_->setWaveFormat();

    FloatingWindows& floating = panel.floating();
    floating.mediaWindow = this;
    floating.mediaEnlarged = [window = QPointer<MediaWindow>(this)] {
        return window && window->enlarged();
    };
    floating.mediaPinned = [window = QPointer<MediaWindow>(this)] {
        return window && window->pinned();
    };
    floating.replayInMedia = [window = QPointer<MediaWindow>(this)] {
        if (window)
            window->ReplaySentence();
    };

    // A click acts once it is clear that it does not begin a double click,
    // so enlarging never pauses or restarts the sentence.
    clickTimer_.setSingleShot(true);
    connect(&clickTimer_, &QTimer::timeout, this, &MediaWindow::togglePlayback);

    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &MediaWindow::tick);
    timer_.start(kTickMs);
}

MediaWindow::~MediaWindow()
{
    // The services outlive the windows (the application ends the windows
    // first); the media layer must not deliver frames here once this is gone.
    if (videoOutput_)
        videoOutput_->unregisterVideoSink(kSurfaceId);
    if (player_)
        player_->setVideoSurface(nullptr);
}

int MediaWindow::PlayRow(bool& advancing)
{
    if (!player_)
        return kNone;
    const int toSelect = player_->playRow(advancing);
    refreshPausePicture();
    return toSelect;
}

void MediaWindow::ReplaySentence()
{
    if (!player_)
        return;
    player_->replaySentence();
    refreshPausePicture();
}

void MediaWindow::PauseMedia()
{
    if (!player_)
        return;
    player_->pauseMedia();
    refreshPausePicture();
}

void MediaWindow::ResumeMedia()
{
    if (!player_)
        return;
    player_->resumeMedia();
    refreshPausePicture();
}

void MediaWindow::togglePlayback()
{
    if (!player_)
        return;
    switch (mediaPlaybackToggle(player_->mediaMode(), player_->paused())) {
    case PlaybackToggle::Pause:
        PauseMedia();
        break;
    case PlaybackToggle::Resume:
        ResumeMedia();
        break;
    case PlaybackToggle::Replay:
        ReplaySentence();
        break;
    }
}

void MediaWindow::setEnlarged(bool on)
{
    if (on == enlarged_)
        return;
    enlarged_ = on;
    DictationForm* form = panel_.dictationForm();
    if (on) {
        setTopMost(true);
        setDictationLayer(form, this, true);
        // Floating, the video covers the whole screen with a pixel to spare
        // on every side and the dictation form lays itself out over it;
        // docked, the panel's layout shares the screen between the video
        // and the dictation strip.
        if (panel_.compactLayout) {
            setGeometry(-1, -1, panel_.screenWidth + 2, panel_.screenHeight + 2);
            if (form)
                form->LoadRow();
        }
    } else {
        setTopMost(pinned_);
        setDictationLayer(form, this, false);
        setGeometry(centredMediaRect(QSize(panel_.screenWidth, panel_.screenHeight)));
    }
    panel_.layoutPanel();
    // The learner who double-clicked it expects Space and Escape to reach
    // it, unless an answer is being typed in Dictation mode. Asked only when
    // the click did not give it the keyboard already: the window manager
    // raises what it activates, over the dictation form.
    if (on && isVisible() && !state_.dictationMode) {
        if (!isActiveWindow())
            activateWindow();
        setFocus();
    }
}

void MediaWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        keepDictationFormInFront();
}

void MediaWindow::keepDictationFormInFront()
{
    // A window manager raises the window it activates or that is clicked:
    // over the enlarged video the dictation form, in the same layer, comes
    // back on top of it (unless the video is pinned there).
    if (!enlarged_ || pinned_)
        return;
    if (DictationForm* form = panel_.dictationForm(); form && form->isVisible()) {
        form->raise();
        form->toolbar()->raise();
    }
}

void MediaWindow::setPinned(bool on)
{
    pinned_ = on;
    // Over the enlarged video the dictation form stays on top unless the
    // video itself is pinned there.
    DictationForm* form = panel_.dictationForm();
    if (on) {
        if (enlarged_)
            setDictationLayer(form, this, false);
        setTopMost(true);
    } else {
        setTopMost(false);
        if (enlarged_)
            setDictationLayer(form, this, true);
    }
}

void MediaWindow::clearSpanFlags()
{
    if (player_)
        player_->clearSpanFlags();
}

bool MediaWindow::playBusy() const
{
    return player_ && player_->playBusy();
}

void MediaWindow::setTopMost(bool on)
{
    if (topMost_ == on)
        return;
    topMost_ = on;
    setTopLayer(this, on);
}

void MediaWindow::placeNormal()
{
    enlarged_ = false;
    pinned_ = false;
    setTopMost(false);
    setGeometry(centredMediaRect(QSize(panel_.screenWidth, panel_.screenHeight)));
}

void MediaWindow::showVideo()
{
    if (isVisible())
        return;
    placeNormal();
    show();
}

void MediaWindow::hideVideo()
{
    if (!isVisible())
        return;
    const bool wasEnlarged = enlarged_;
    hide();
    placeNormal();
    setDictationLayer(panel_.dictationForm(), this, false);
    if (wasEnlarged)
        panel_.layoutPanel();
}

void MediaWindow::presentFrame(const QImage& frame)
{
    frame_ = frame;
    ++framesShown_;
    update(videoArea_);
}

void MediaWindow::placeVideo(const QRect& area)
{
    videoArea_ = area;
    update();
}

void MediaWindow::clearVideo()
{
    frame_ = QImage();
    update();
}

void MediaWindow::tick()
{
    int recordStatus = RecordIdle;
    tickRecorder(&recordStatus);
    if (player_) {
        const MediaTickDecision decision = player_->tick(recordStatus);
        if (decision.nextLine)
            emit nextLineWanted();
        if (decision.unlockTyping) {
            if (DictationForm* form = panel_.dictationForm())
                form->UnlockTyping(1);
        }
    }
    refreshPausePicture();
    reportSpeechFailure();
}

void MediaWindow::reportSpeechFailure()
{
    if (speechFailureShown_ || !speech_)
        return;
    const SpeechFailure failure = speech_->speechFailure();
    if (failure.isEmpty())
        return;
    speechFailureShown_ = true;
    // Not modal, so the timers run on; sentences without media stay silent.
    speechFailureBox_ = new QMessageBox(QMessageBox::Warning, QStringLiteral("Dictora"),
                                        failure.message, QMessageBox::Ok, this);
    speechFailureBox_->setInformativeText(failure.reason);
    speechFailureBox_->setAttribute(Qt::WA_DeleteOnClose);
    if (!showAsDictationNotice(*speechFailureBox_, state_))
        speechFailureBox_->open();
}

void MediaWindow::tickRecorder(int* recordStatus)
{
    if (!recorder_)
        return;
    const RecordTick result = recorder_->tick(state_.now);
    *recordStatus = result.status;
    if (result.buttonState >= 0) {
        if (DictationForm* form = panel_.dictationForm(); form && form->toolbar())
            form->toolbar()->setRecordButtonState(result.buttonState);
    }
    if (!result.savedPath.isEmpty())
        emit recordingSaved(result.savedPath);
    if (!result.saveError.isEmpty())
        reportSaveFailure(result.saveError);
}

void MediaWindow::reportSaveFailure(const QString& reason)
{
    // Not modal: the timer that found the failure keeps running under it.
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Dictora"),
                                QStringLiteral("录音没有保存到 Record 文件夹：\n%1").arg(reason),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (!showAsDictationNotice(*box, state_))
        box->open();
}

void MediaWindow::refreshPausePicture()
{
    const bool paused = player_ && player_->paused();
    if (paused == pausedShown_)
        return;
    pausedShown_ = paused;
    update(pausePictureRect(size()));
}

void MediaWindow::selectRow(int row)
{
    if (row < 0)
        return;
    if (QTableView* list = panel_.sentenceView())
        list->selectRow(row);
}

void MediaWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!frame_.isNull() && !videoArea_.isEmpty()) {
        // The picture keeps its proportions inside the video area, black
        // bands filling the rest.
        QSize fitted = frame_.size().scaled(videoArea_.size(), Qt::KeepAspectRatio);
        QRect target(QPoint(0, 0), fitted);
        target.moveCenter(videoArea_.center());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, frame_);
    }
    if (pausedShown_ && !pausePicture_.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(pausePictureRect(size()), pausePicture_);
    }
}

void MediaWindow::resizeEvent(QResizeEvent*)
{
    videoArea_ = videoArea(size());
    if (player_)
        player_->placeVideo();
    update();
}

void MediaWindow::keyPressEvent(QKeyEvent* event)
{
    StudyServices& services = panel_.services();
    const MediaKeyDown down = mediaKeyDown(keyPressOf(event), listeningContext(services));
    carryOut(down.listening, services);
    switch (down.action) {
    case MediaKeyAction::TogglePlayback:
        if (!event->isAutoRepeat())
            togglePlayback();
        event->accept();
        return;
    case MediaKeyAction::Pass:
        QWidget::keyPressEvent(event);
        return;
    default:
        event->accept();
        return;
    }
}

void MediaWindow::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
    if (event->isAutoRepeat())
        return;
    const MediaKeyAction action =
        mediaKeyUp(event->key(), enlarged_, state_.dictationMode, state_.currentRow >= 0);
    const SentenceTable& table = panel_.services().sentences;
    switch (action) {
    case MediaKeyAction::Restore:
        setEnlarged(false);
        break;
    case MediaKeyAction::SelectPrevious:
        selectRow(neighbourSentenceRow(table, state_.currentRow, -1));
        break;
    case MediaKeyAction::SelectNext:
        selectRow(neighbourSentenceRow(table, state_.currentRow, +1));
        break;
    default:
        break;
    }
}

void MediaWindow::mousePressEvent(QMouseEvent* event)
{
    keepDictationFormInFront();
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = true;
    dragging_ = false;
    resizing_ = false;
    pressPoint_ = event->globalPosition().toPoint();
    pressGeometry_ = geometry();
    if (!enlarged_ && inSizingCorner(event->position().toPoint(), size())) {
        resizing_ = true;
        // The window manager sizes the window when it can; else the moves below do.
        if (windowHandle() && windowHandle()->startSystemResize(Qt::BottomEdge | Qt::RightEdge))
            pressed_ = false;
    }
}

void MediaWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint global = event->globalPosition().toPoint();
    if (!pressed_) {
        setCursor(!enlarged_ && inSizingCorner(event->position().toPoint(), size())
                      ? Qt::SizeFDiagCursor
                      : Qt::ArrowCursor);
        return;
    }
    const QPoint moved = global - pressPoint_;
    if (resizing_) {
        resize(pressGeometry_.size() + QSize(moved.x(), moved.y()));
        return;
    }
    if (!dragging_ && !enlarged_ && isWindowDrag(pressPoint_, global)) {
        dragging_ = true;
        if (windowHandle() && windowHandle()->startSystemMove()) {
            pressed_ = false;
            return;
        }
    }
    if (dragging_)
        move(pressGeometry_.topLeft() + moved);
}

void MediaWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        emit panel_.contextMenuRequested(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = pressed_ && !dragging_ && !resizing_;
    pressed_ = false;
    dragging_ = false;
    resizing_ = false;
    // The release that ends a double click has done its work by enlarging.
    if (std::exchange(releaseAfterDoubleClick_, false))
        return;
    if (click)
        clickTimer_.start(QApplication::doubleClickInterval());
}

void MediaWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    clickTimer_.stop();
    releaseAfterDoubleClick_ = true;
    setEnlarged(!enlarged_);
}

} // namespace dictora
