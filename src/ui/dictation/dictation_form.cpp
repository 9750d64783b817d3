// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_form_metrics.h"

#include "ui/dictation/answer_feedback.h"

#include "core/dictation/answer_checking.h"
#include "core/dictation/answer_turn.h"
#include "core/dictation/form_geometry.h"
#include "core/media/media_commands.h"
#include "core/media/media_player.h"
#include "core/media/speech_output.h"
#include "core/media/voice_recorder.h"
#include "core/shell/window_placement.h"
#include "core/study/dictation_results.h"
#include "core/study/sentence_table.h"
#include "core/study/study_keys.h"
#include "core/study/study_session.h"
#include "core/study/unit_library.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/dictation/fade_in_worker.h"
#include "ui/dictation/keyboard_return.h"
#include "ui/dictation/mismatch_marker.h"
#include "ui/dictation/typing_progress_bar.h"
#include "ui/widgets/dialog_colours.h"
#include "ui/widgets/study_panel.h"
#include "ui/dictation/toolbar_keep_clear.h"
#include "ui/widgets/sound_cues.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"
#include "ui/widgets/ui_font.h"
#include "ui/widgets/listening_input.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTextBlock>
#include <QWindow>

#include <algorithm>

namespace dictora {

namespace {

const QColor kPromptText{160, 64, 64};
const QColor kRevealedPrompt{255, 0, 0};
// The answer box's text by AnswerLook: Browse, Edit, Locked, Typing.
const QColor kAnswerColours[] = {{66, 66, 88}, {228, 18, 18}, {188, 188, 188}, {18, 18, 188}};

constexpr int kFormAlpha = 252;
constexpr int kSizingCorner = 5;

// The program's font with a line (cell) height and an average Latin letter
// width in pixels, as a face is asked for by cell height and width.
QFont cellFont(int cellHeight, int letterWidth)
{
    QFont font = uiFont();
    font.setWeight(QFont::DemiBold);
    font.setPixelSize(cellHeight);
    const int measured = QFontMetrics(font).height();
    if (measured > 0)
        font.setPixelSize(std::max(1, cellHeight * cellHeight / measured));
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    const qreal average = QFontMetricsF(font).horizontalAdvance(letters) / letters.size();
    if (average > 0)
        font.setStretch(std::clamp(int(100 * letterWidth / average), 50, 200));
    return font;
}

void setBoxColours(QPlainTextEdit* box, const QColor& text)
{
    QPalette palette = box->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, kFormBackground);
        palette.setColor(group, QPalette::Window, kFormBackground);
        palette.setColor(group, QPalette::Text, text);
    }
    box->setPalette(palette);
}

QPlainTextEdit* makeBox(QWidget* form, const QString& name, const QFont& font)
{
    auto* box = new QPlainTextEdit(form);
    box->setObjectName(name);
    box->setFrameShape(QFrame::NoFrame);
    box->setFont(font);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setTabChangesFocus(true);
    box->document()->setDocumentMargin(2);
    return box;
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

DictationForm::DictationForm(StudyPanel& panel, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), panel_(panel),
      services_(panel.services()), state_(panel.state())
{
    setObjectName(QStringLiteral("dictationForm"));
    translatesListeningKeys(this);
    setWindowTitle(QStringLiteral("Dictora professional dictform"));
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kFormBackground);
    setPalette(palette);
    setAlpha(kFormAlpha);

    promptLine_ = makeBox(this, QStringLiteral("promptLine"), cellFont(25, 9));
    promptLine_->setReadOnly(true);
    promptLine_->setFocusPolicy(Qt::NoFocus);
    setBoxColours(promptLine_, kPromptText);
    answerBox_ = makeBox(this, QStringLiteral("answerBox"), cellFont(52, 18));
    answerBox_->setAttribute(Qt::WA_InputMethodEnabled);
    answerLineHeight_ = QFontMetrics(answerBox_->font()).height();
    applyAnswerColour();

    progressBar_ = new TypingProgressBar(this);
    marker_ = new MismatchMarker(this);
    feedback_ = new AnswerFeedback(*this, panel_, services_);
    new KeyboardReturn(*this);
    toolbar_ = new DictationToolbar(panel_, *this);
    fadeIn_ = std::make_unique<FadeInWorker>(*this);

    for (QObject* watched :
         {static_cast<QObject*>(this), static_cast<QObject*>(answerBox_),
          static_cast<QObject*>(answerBox_->viewport()), static_cast<QObject*>(promptLine_),
          static_cast<QObject*>(promptLine_->viewport())})
        watched->installEventFilter(this);
    connect(answerBox_, &QPlainTextEdit::textChanged, this, [this] {
        UpdateTypingProgress();
        growWhileTyping();
    });

    if (services_.library)
        connect(services_.library, &UnitLibrary::unitClosing, this, &DictationForm::clearRow);
    // New rows (a Unit opened, content added) take new room in the list:
    // the floating form makes way once the list has laid them out.
    const auto makeWay = [this] {
        QTimer::singleShot(0, this, [this] {
            if (isVisible() && !docked_)
                layoutCompact();
        });
    };
    connect(&services_.sentences, &QAbstractItemModel::modelReset, this, makeWay);
    connect(&services_.sentences, &QAbstractItemModel::rowsInserted, this, makeWay);

    FloatingWindows& floating = panel_.floating();
    floating.dictationForm = this;
    floating.placeDictationForm = [this] { layoutCompact(); };
    floating.setDictationFormDocked = [this](bool docked) { setDocked(docked); };
    panel_.setAnswerBox(answerBox_);

    // The strip first appears high on the work area with its toolbar (above
    // it) wholly on the screen; the layout keeps this top.
    const QRect work = workArea();
    const int toolbarAbove = work.top() - toolbarRect(QRect(0, work.top(), 1, 1), false).top();
    move(work.left(), work.top() + kFormScreenEdge + toolbarAbove);

    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &DictationForm::tick);
    timer_.start(kTimerMs);
}

DictationForm::~DictationForm() = default;

// --- loading a row ----------------------------------------------------------

void DictationForm::LoadRow()
{
    if (services_.recorder)
        toolbar_->setRecordButtonState(services_.recorder->discardRecording());
    autoMove = 1 - placeFixed;
    marker_->hide();
    feedback_->rowLoaded();
    const RowShown shown = turn_.load(services_.sentences, state_, services_.openUnitName());
    if (shown.cleared) {
        clearRow();
        return;
    }
    if (shown.prompt)
        showPrompt(*shown.prompt);
    setAnswerText(shown.answer);
    if (shown.startsTyping) {
        UpdateTypingProgress();
        UnlockTyping(0);
    } else {
        answerBox_->setReadOnly(shown.readOnly);
    }
    applyAnswerColour();
    if (services_.speech)
        services_.speech->setSpeechText(shown.speechText);
    if (panel_.compactLayout)
        layoutCompact();
    const FloatingWindows& floating = panel_.floating();
    if (mediaEnlarged() && !(floating.mediaPinned && floating.mediaPinned())) {
        answerBox_->setFocus();
        answerBox_->moveCursor(QTextCursor::End);
    }
}

void DictationForm::clearRow()
{
    // Nothing of a closed Unit stays on the screen.
    turn_.clear();
    marker_->hide();
    showPrompt(QString());
    setAnswerText(QString());
    answerBox_->setReadOnly(true);
    applyAnswerColour();
    if (TipWindow* tip = panel_.tipWindow(); tip && tip->tipOwner() == this)
        tip->HideTip();
}

void DictationForm::UnlockTyping(int flag)
{
    const UnlockStep step = turn_.unlock(flag, services_.sentences, state_);
    if (!step.changed)
        return;
    if (step.readOnly)
        answerBox_->setReadOnly(*step.readOnly);
    applyAnswerColour();
    answerBox_->setFocus();
    answerBox_->moveCursor(QTextCursor::End);
    answerBox_->ensureCursorVisible();
    // The keys must reach the answer box, so its window takes the keyboard.
    // Asked for on the next ticks until it holds it: the mode switch that
    // loaded the row brings the study screen (the screensaver) forward, and
    // the window manager may hand the keyboard to it after this. A sentence
    // that unlocks at once (an empty one) gets no later unlock to ask again.
    if (step.takeKeyboard && isVisible())
        keyboardTries_ = kKeyboardTries;
}

void DictationForm::returnKeyboard()
{
    if (state_.dictationMode && isVisible())
        keyboardTries_ = kKeyboardTries;
}

void DictationForm::takeKeyboard()
{
    if (!state_.dictationMode || !isVisible() || keyboardHeldByDialog()) {
        keyboardTries_ = 0;
        return;
    }
    // Held or not, the form keeps watching for all its tries: the desktop
    // may hand the keyboard to the owner of a window just closed after the
    // form took it.
    --keyboardTries_;
    if (isActiveWindow() && answerBox_->hasFocus())
        return;
    activateWindow();
    answerBox_->setFocus(Qt::ActiveWindowFocusReason);
}

void DictationForm::UpdateTypingProgress()
{
    if (marker_->isVisible())
        marker_->hide();
    VoiceRecorder* recorder = services_.recorder;
    const TypingStep step = turn_.typed(answerBox_->toPlainText(), services_.sentences, state_,
                                        recorder && recorder->hasRecording());
    if (step.matchCue)
        playMatchCue(services_.media);
    progressBar_->setPercent(step.percent, width(), step.counting);
    if (step.playRecording)
        toolbar_->setRecordButtonState(recorder->playRecording());
}

// --- answering --------------------------------------------------------------

void DictationForm::SubmitAnswer()
{
    const SentenceTable& table = services_.sentences;
    const int row = state_.currentRow;
    if (!table.isValidRow(row) || table.isTitleRow(row))
        return;
    const QString answer = answerBox_->toPlainText().trimmed();
    // Writing the answer back runs UpdateTypingProgress (and the match cue)
    // before the comparison, as every change of the box does.
    setAnswerText(answer + QLatin1Char(' '));
    const AnswerStep step = turn_.submit(table.field(row, Text), answer);
    feedback_->answerChecked(row, answer, step.outcome, turn_.hints());
    if (step.bookedLevel >= 0 && services_.library)
        services_.library->answerAccepted(step.bookedLevel, turn_.typingStart());
    if (step.soundBackOn)
        services_.session.soundBackOn();
    if (step.replay)
        replaySentence();
    if (step.outcome.verdict == Verdict::Wrong) {
        showMismatch(step.outcome);
        return;
    }
    if (step.askAgain) {
        UpdateTypingProgress();
        setAnswerText(kAnswerAgainText.trimmed());
        answerBox_->selectAll();
    } else {
        rightAnswer();
    }
    if (TipWindow* tip = panel_.tipWindow())
        tip->HideTip();
    marker_->hide();
}

void DictationForm::rightAnswer()
{
    const int reviewFrequency = services_.library ? services_.library->reviewFrequency() : 0;
    const NextDictation next =
        nextDictationRow(services_.sentences, state_.currentRow, reviewFrequency);
    const DictationStep step = services_.session.dictationAnswered(next.row, next.soundOn);
    if (step.endsDictation) {
        panel_.modeChanged(step.frameOnTop);
        answerBox_->setReadOnly(true);
        applyAnswerColour();
        progressBar_->setPercent(0, width(), false);
        // The list shows the current sentence again outside Dictation mode.
        if (QTableView* list = panel_.sentenceView())
            list->viewport()->update();
        return;
    }
    if (QTableView* list = panel_.sentenceView())
        list->selectRow(step.selectRow);
    if (step.fadeIn)
        fadeIn_->start();
}

void DictationForm::showMismatch(const SubmitOutcome& outcome)
{
    const int j = outcome.mismatch.answerIndex;
    QTextCursor cursor = answerBox_->textCursor();
    cursor.setPosition(std::min(j, int(answerBox_->document()->characterCount()) - 1));
    cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor);
    answerBox_->setTextCursor(cursor);
    answerBox_->ensureCursorVisible();
    const QPoint caret = caretPoint();

    if (outcome.showMarker) {
        markerPosition_ = cursor.position();
        placeMarker();
        marker_->show();
        marker_->raise();
    }
    TipWindow* tip = panel_.tipWindow();
    if (outcome.hideTip && tip)
        tip->HideTip();
    if (outcome.showHint && tip) {
        const int screenWidth = panel_.screenWidth > 0 ? panel_.screenWidth : workArea().width();
        const QPoint at = hintPoint(mapToGlobal(QPoint(0, 0)), caret, promptHeight_, screenWidth);
        tip->ShowTip(at.x(), at.y(), outcome.hint, this);
    }
    if (outcome.reveal) {
        showPrompt(services_.sentences.field(state_.currentRow, Text));
        if (panel_.compactLayout)
            layoutCompact();
    }
}

// --- keys and mouse ---------------------------------------------------------

bool DictationForm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        // Whether the press drags the strip is decided by the state the
        // strip had before it: a strip that was still stepping by itself
        // is only taken hold of, not moved. A move started here would also
        // leave the window manager holding the keyboard until the next
        // Enter, which then never reaches the answer box.
        if (watched == this)
            pressDrags_ = autoMove == 0 && placeFixed == 0 && !docked_;
        if (panel_.compactLayout)
            autoMove = 0;
        break;
    case QEvent::KeyPress:
        return filterKey(watched, static_cast<QKeyEvent*>(event));
    case QEvent::ShortcutOverride: {
        // Esc and Enter belong to this window, never to a shortcut.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || isEnterKey(key))
            event->accept();
        break;
    }
    case QEvent::InputMethod: {
        // Text committed by an input method is typing like a key press: with
        // a sentence to answer from memory it first starts the recording.
        const auto* input = static_cast<QInputMethodEvent*>(event);
        if (!input->commitString().isEmpty() && recordingGate(false))
            return true;
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool DictationForm::recordingGate(bool isEnter)
{
    VoiceRecorder* recorder = services_.recorder;
    RecordingGateContext context;
    context.dictationMode = state_.dictationMode;
    context.soundOn = state_.soundOn;
    context.typingUnlocked = turn_.typingUnlocked() != 0;
    context.hasRecorder = recorder != nullptr;
    context.hasRecording = recorder && recorder->hasRecording();
    context.recording = recorder && recorder->recordStatus() == RecordRecording;
    context.isEnter = isEnter;
    const RecordingGateStep step = dictora::recordingGate(context);
    if (step.startRecording) {
        toolbar_->setRecordButtonState(recorder->startRecording());
        if (!recorder->recordError().isEmpty()) {
            // Without a microphone the sentence is still answered from
            // memory: typing opens at once instead of waiting for a
            // recording that cannot happen.
            if (TipWindow* tip = panel_.tipWindow()) {
                const QPoint at = mapToGlobal(QPoint(20, promptHeight_));
                tip->ShowTip(at.x(), at.y(), QStringLiteral("无法录音"), this);
            }
            UnlockTyping(1);
        }
    }
    if (step.stopRecording)
        toolbar_->setRecordButtonState(recorder->stopRecording());
    return step.swallow;
}

bool DictationForm::filterKey(QObject* watched, QKeyEvent* key)
{
    const int code = key->key();
    const SentenceTable& table = services_.sentences;
    const int row = state_.currentRow;
    FormKeyContext context;
    context.mode = services_.session.mode();
    context.inAnswerBox = watched == answerBox_ || watched == answerBox_->viewport();
    context.hasCurrentRow = row >= 0;
    context.sentenceRow = table.isValidRow(row) && table.isSentence(row);
    context.looping = listeningContext(services_).looping;
    // The devices are asked only when Space may need their answer.
    if (code == Qt::Key_Space)
        context.playback = panel_.sentencePlaybackNow();
    const FormKeyDecision d = dictationFormKey(keyPressOf(key), context);
    // A listening key goes no further: no try, no typing, no recording.
    carryOut(d.listening, services_);
    if (d.action == FormKeyDecision::Listen || (d.typing && recordingGate(isEnterKey(code))))
        return true;
    panel_.carryOutSpace(d.space);
    switch (d.action) {
    case FormKeyDecision::Pass:
        return false;
    case FormKeyDecision::DeleteMismatch:
        QCoreApplication::postEvent(
            answerBox_, new QKeyEvent(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier));
        return true;
    case FormKeyDecision::SubmitEdit:
        services_.session.editText(answerBox_->toPlainText());
        return true;
    case FormKeyDecision::SubmitAnswer:
        SubmitAnswer();
        return true;
    case FormKeyDecision::Swallow:
    case FormKeyDecision::Listen:
        return true;
    }
    return false;
}

void DictationForm::replaySentence()
{
    if (const FloatingWindows& floating = panel_.floating(); floating.replayInMedia)
        floating.replayInMedia();
    else if (services_.player)
        services_.player->replaySentence();
}

void DictationForm::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    QWindow* handle = windowHandle();
    if (!handle)
        return;
    const QPoint p = event->position().toPoint();
    if (p.x() >= width() - kSizingCorner && p.y() >= height() - kSizingCorner) {
        handle->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
        return;
    }
    if (pressDrags_)
        handle->startSystemMove();
}

// --- drawing ------------------------------------------------------------------

void DictationForm::showPrompt(const QString& text)
{
    setBoxColours(promptLine_, turn_.answerShown() ? kRevealedPrompt : kPromptText);
    promptLine_->setPlainText(text);
}

void DictationForm::setAnswerText(const QString& text)
{
    answerBox_->setPlainText(text);
    answerBox_->moveCursor(QTextCursor::End);
}

void DictationForm::applyAnswerColour()
{
    setBoxColours(answerBox_, kAnswerColours[int(turn_.look(state_))]);
}

void DictationForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kFormBackground);
}

} // namespace dictora
