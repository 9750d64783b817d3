// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dictation/dictation_toolbar.h"

#include "core/media/media_commands.h"
#include "core/media/media_player.h"
#include "core/media/speech_output.h"
#include "core/media/voice_recorder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "ui/dictation/dictation_form.h"
#include "ui/widgets/resource_picture.h"
#include "ui/widgets/sound_cues.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPainter>
#include <QWindow>

namespace dictora {

namespace {

// Almost transparent, so the whole strip still receives the mouse.
const QColor kStripFill{0, 0, 0, 1};
constexpr int kDragSlack = 2;

} // namespace

DictationToolbar::DictationToolbar(StudyPanel& panel, DictationForm& form)
    // Clicking a button must leave the keyboard with the answer box: the
    // strip never takes it (it would only swallow the keys).
    : LayeredWindow(&form, Qt::Tool | Qt::WindowDoesNotAcceptFocus), panel_(panel), form_(form)
{
    setObjectName(QStringLiteral("dictationToolbar"));
    setFocusPolicy(Qt::NoFocus);
    soundPictures_ = {LoadResourcePicture(res::kSoundOff), LoadResourcePicture(res::kSoundOn)};
    recordPictures_ = {LoadResourcePicture(res::kRecordIdle), LoadResourcePicture(res::kRecording),
                       LoadResourcePicture(res::kRecordPlaying),
                       LoadResourcePicture(res::kRecordPaused),
                       LoadResourcePicture(res::kRecordStopped)};
    layoutPictures_ = {LoadResourcePicture(res::kLayoutFloating),
                       LoadResourcePicture(res::kLayoutFixed)};
    notebookPicture_ = LoadResourcePicture(res::kNotebookButton);
    shownSoundOn_ = panel_.state().soundOn;

    // Placed and shown with the form (DictationForm::showEvent), so the
    // desktop keeps it in front of the form; it stays up for the whole run.
    setGeometry(0, 0, kWidth, kHeight);
    draw(false);

    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &DictationToolbar::tick);
    timer_.start(20);
}

void DictationToolbar::setRecordButtonState(int state)
{
    if (state < RecordIdle || state > RecordStopped || state == recordButtonState_)
        return;
    recordButtonState_ = state;
    draw(false);
}

DictationToolbar::Button DictationToolbar::buttonAt(int x) const
{
    if (x < 0 || x >= kWidth)
        return None;
    const auto button = Button(x / kButtonPitch);
    if (button == NotebookButton && !notebookVisible_)
        return None;
    return button;
}

void DictationToolbar::draw(bool withCue)
{
    if (withCue)
        playTipCue(panel_.services().media);
    const bool soundOn = panel_.state().soundOn;
    shownSoundOn_ = soundOn;
    shownPlaceFixed_ = form_.placeFixed;
    PushLayeredPicture(this, [this, soundOn](QPainter& painter, const QSize& size) {
        painter.fillRect(QRect(QPoint(0, 0), size), kStripFill);
        auto place = [&](Button button, const QImage& picture, int restY) {
            if (picture.isNull())
                return;
            const int y = hovered_ == button ? restY - 3 : restY;
            painter.drawImage(QRect(button * kButtonPitch, y, 32, 32), picture);
        };
        place(SoundButton, soundPictures_[soundOn ? 1 : 0], 3);
        place(RecordButton, recordPictures_[size_t(recordButtonState_)], 3);
        place(LayoutButton, layoutPictures_[form_.placeFixed ? 1 : 0], 5);
        if (notebookVisible_)
            place(NotebookButton, notebookPicture_, 5);
    });
}

QPoint DictationToolbar::tipPoint() const
{
    const QPoint at = geometry().topLeft();
    return {at.x() + 150, at.y() + 50};
}

bool DictationToolbar::underCursor() const
{
    const StudyState& state = panel_.state();
    if (state.windowUnderCursor == this)
        return true;
    // Where the desktop cannot say which window is under the cursor, the
    // strip's own rectangle decides.
    return state.windowUnderCursor == nullptr && isVisible() &&
           geometry().contains(state.cursorPos);
}

void DictationToolbar::setHovered(Button button)
{
    if (button == hovered_)
        return;
    hovered_ = button;
    draw(true);
    if (button == NotebookButton)
        if (TipWindow* tip = panel_.tipWindow()) {
            const QPoint at = tipPoint();
            tip->ShowTip(at.x(), at.y(), QStringLiteral("加入生句本"), this);
        }
}

void DictationToolbar::tick()
{
    const StudyState& state = panel_.state();
    const SentenceTable& table = panel_.services().sentences;
    const bool notebook = !state.isNotebook && table.isValidRow(state.currentRow) &&
                          table.isSentence(state.currentRow);
    if (notebook != notebookVisible_) {
        notebookVisible_ = notebook;
        if (!notebook && hovered_ == NotebookButton)
            hovered_ = None;
        draw(false);
    }
    if (underCursor()) {
        form_.autoMove = 0;
        const int dx = state.cursorPos.x() - geometry().left();
        const Button button = buttonAt(dx);
        if (button != None)
            setHovered(button);
    } else if (hovered_ != None) {
        hovered_ = None;
        dragPoint_ = QPoint(-1234, -1234);
        draw(false);
    }
    if (state.soundOn != shownSoundOn_ || form_.placeFixed != shownPlaceFixed_)
        draw(false);
    // Once the button is up the drag is over: the layout centres the form again.
    if (draggingForm_ && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        draggingForm_ = false;
        form_.setDraggedByToolbar(false);
    }
}

// --- mouse and keys -------------------------------------------------------------

bool DictationToolbar::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return LayeredWindow::event(event);
}

void DictationToolbar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        dragPoint_ = event->globalPosition().toPoint();
}

void DictationToolbar::mouseMoveEvent(QMouseEvent* event)
{
    if (!panel_.compactLayout || dragPoint_ == QPoint(-1234, -1234))
        return;
    const QPoint delta = event->globalPosition().toPoint() - dragPoint_;
    if (std::abs(delta.x()) <= kDragSlack && std::abs(delta.y()) <= kDragSlack)
        return;
    dragPoint_ = QPoint(-1234, -1234);
    if (form_.placeFixed)
        return;
    // The form is dragged by its caption; the strip follows every move.
    draggingForm_ = true;
    form_.setDraggedByToolbar(true);
    if (QWindow* handle = form_.windowHandle())
        handle->startSystemMove();
}

void DictationToolbar::mouseReleaseEvent(QMouseEvent* event)
{
    dragPoint_ = QPoint(-1234, -1234);
    const Button button = buttonAt(int(event->position().x()));
    if (event->button() == Qt::RightButton) {
        if (button == RecordButton && panel_.services().recorder)
            setRecordButtonState(panel_.services().recorder->discardRecording());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    // The release that ends a double click belongs to the double click: the
    // layout button would otherwise undo the docking it just did.
    if (releaseEndsDoubleClick_) {
        releaseEndsDoubleClick_ = false;
        return;
    }
    pressButton(button);
    // The strip is a window of its own on the desktop; typing goes on in
    // the answer box after a click on it.
    if (form_.isVisible()) {
        form_.activateWindow();
        form_.answerBox()->setFocus();
    }
}

void DictationToolbar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    releaseEndsDoubleClick_ = true;
    if (buttonAt(int(event->position().x())) == LayoutButton)
        panel_.toggleDock();
}

// --- buttons --------------------------------------------------------------------

void DictationToolbar::pressButton(Button button)
{
    switch (button) {
    case SoundButton:
        toggleSound();
        break;
    case RecordButton:
        pressRecordButton();
        break;
    case LayoutButton:
        if (panel_.compactLayout)
            form_.placeFixed = 1 - form_.placeFixed;
        else
            panel_.toggleDock();
        draw(false);
        break;
    case NotebookButton:
        addToNotebook();
        break;
    case None:
        break;
    }
}

void DictationToolbar::toggleSound()
{
    // The same command as the main menu's "静音".
    panel_.toggleMute();
    draw(false);
}

void DictationToolbar::pressRecordButton()
{
    VoiceRecorder* recorder = panel_.services().recorder;
    if (!recorder)
        return;
    switch (recordButtonState_) {
    case RecordIdle:
        setRecordButtonState(recorder->startRecording());
        if (!recorder->recordError().isEmpty())
            if (TipWindow* tip = panel_.tipWindow()) {
                const QPoint at = tipPoint();
                tip->ShowTip(at.x(), at.y(), QStringLiteral("无法录音"), this);
            }
        break;
    case RecordRecording:
    case RecordStopped:
        setRecordButtonState(recorder->playRecording());
        break;
    case RecordPlaying:
        setRecordButtonState(recorder->pauseRecording());
        break;
    case RecordPaused:
        setRecordButtonState(recorder->resumeRecording());
        break;
    default:
        break;
    }
}

void DictationToolbar::addToNotebook()
{
    UnitLibrary* library = panel_.services().library;
    if (!library)
        return;
    const UnitLibrary::NotebookAdd added = library->AddToNotebook();
    QString text;
    switch (added) {
    case UnitLibrary::NotebookAdd::Added:
    case UnitLibrary::NotebookAdd::AlreadyThere:
        text = QStringLiteral("添加成功");
        break;
    case UnitLibrary::NotebookAdd::Failed:
        // The Notebook file could not be read or written; the learner must
        // not believe the sentence was kept.
        text = QStringLiteral("生句本写入失败");
        playErrorCue(panel_.services().media);
        break;
    case UnitLibrary::NotebookAdd::Nothing:
        return;
    }
    // Without an owner the answer stays its full time, also when the mouse
    // goes straight back to the answer box: the click's only sign.
    if (TipWindow* tip = panel_.tipWindow()) {
        const QPoint at = tipPoint();
        tip->ShowTip(at.x(), at.y(), text);
    }
}

} // namespace dictora
