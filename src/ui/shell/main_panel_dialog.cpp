// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shell/main_panel_dialog.h"

#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "ui/dictation/dictation_form.h"
#include "ui/import/add_content_dialog.h"
#include "ui/import/clear_record_dialog.h"
#include "ui/import/content_change_dialog.h"
#include "ui/media/media_window.h"
#include "ui/media/voice_settings_dialog.h"
#include "ui/screensaver/screensaver_window.h"
#include "ui/shell/frame_dialog.h"
#include "ui/study/progress_panel.h"
#include "ui/study/sentence_list.h"
#include "ui/study/unit_list_dialog.h"
#include "ui/study/unit_settings_dialog.h"
#include "ui/widgets/dialog_colours.h"
#include "ui/widgets/shadow_frame.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace dictora {

namespace {

constexpr int kShadowWidth = 9;
constexpr int kShadowGrey = 128;

bool isSwallowedKey(int key)
{
    return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

MainPanelDialog::MainPanelDialog(QWidget* frame, StudyServices& services)
    : StudyPanel(frame, services)
{
    setObjectName(QStringLiteral("mainPanel"));

    // The sentence list: one visible column of sentences over the twelve
    // fields of the open Unit. Its rows are drawn by the list's own delegate;
    // it starts hidden and is shown once the window tree is up.
    sentenceList_ = new SentenceList(*this, this);
    sentenceList_->hide();
    connect(this, &MainPanelDialog::contextMenuRequested, sentenceList_,
            &SentenceList::showContextMenu);

    // Closing a Unit ends every mode, Dictation with it.
    if (services_.library)
        connect(services_.library, &UnitLibrary::unitClosing, this,
                &MainPanelDialog::leaveTopLayer);

    filterInput(this);
    filterInput(sentenceList_);
    filterInput(sentenceList_->viewport());
}

MainPanelDialog::~MainPanelDialog() = default;

void MainPanelDialog::filterInput(QWidget* widget)
{
    widget->installEventFilter(this);
}

void MainPanelDialog::createOwnedWindows()
{
    // The chain of ownership keeps each window in front of its owner:
    // screensaver window (owner: this panel), progress panel (screensaver),
    // media window and dictation form (progress panel), tip window
    // (dictation form), shadow frame (tip window), unit library (shadow
    // frame). The windows of the screensaver, the progress panel, the media
    // player, the dictation form and the unit library join here, in that
    // order, and register themselves in floating_.
    screensaver_ = new ScreensaverWindow(*this, this);
    floating_.screensaver = screensaver_;
    floating_.screensaverRunning = [this] { return screensaver_->screensaverOn(); };

    progressPanel_ = new ProgressPanel(*this, screensaver_);
    progressPanel_->show();
    // Docked along the bottom from the start; the splash only shows it.
    floating_.statusBar = [this] { return progressPanel_->geometry(); };
    floating_.workOnScreen = [this] { return sentenceList_->workOnScreen(); };
    floating_.keepWorkClearOf = [this](const QRect& cover) {
        sentenceList_->keepWorkClearOf(cover);
    };

    mediaWindow_ = new MediaWindow(*this, progressPanel_);
    dictationForm_ = new DictationForm(*this, progressPanel_);

    QWidget* tipOwner = floating_.dictationForm ? floating_.dictationForm.data() : window();
    tipWindow_ = new TipWindow(tipOwner, state_, screenWidth);
    tipWindow_->setDictationWindow(floating_.dictationForm);

    shadowFrame_ = new ShadowFrame(tipWindow_);
    shadowFrame_->setShadowWidth(kShadowWidth);
    shadowFrame_->setGrey(kShadowGrey);
    shadowFrame_->lower();

    unitList_ = new UnitListDialog(*this, shadowFrame_);

    addContent_ = new AddContentDialog(*this, window());
    contentChange_ = new ContentChangeDialog(*this, window());
    clearRecord_ = new ClearRecordDialog(*this, window());
    unitSettings_ = new UnitSettingsDialog(*this, progressPanel_);
    voiceSettings_ = new VoiceSettingsDialog(*this, mediaWindow_);

    if (mediaWindow_)
        connect(mediaWindow_, &MediaWindow::nextLineWanted, sentenceList_, &SentenceList::NextLine);

    // Last, once every window exists: the unit library scans the Data folder
    // and opens the Sentence Notebook.
    unitList_->initialise();
}

PanelLayoutInput MainPanelDialog::layoutInput() const
{
    PanelLayoutInput in;
    in.screen = QSize(screenWidth, screenHeight);
    in.panel = windowRect;
    in.compactLayout = compactLayout != 0;
    in.dockedAtTop = dockedAtTop != 0;
    in.mediaEnlarged = floating_.mediaEnlarged && floating_.mediaEnlarged();
    in.screensaverRunning = floating_.screensaverRunning && floating_.screensaverRunning();
    in.dictationFormExists = !floating_.dictationForm.isNull();
    return in;
}

void MainPanelDialog::layoutFloating()
{
    windowRect = QRect(mapToGlobal(QPoint(0, 0)), size());
    const FloatingPlacement place = dictora::layoutFloating(layoutInput());
    if (place.skipped)
        return;
    if (place.screensaver && floating_.screensaver)
        floating_.screensaver->setGeometry(*place.screensaver);
    if (place.mediaWindow && floating_.mediaWindow)
        floating_.mediaWindow->setGeometry(*place.mediaWindow);
    if (place.dictationForm && floating_.dictationForm)
        floating_.dictationForm->setGeometry(*place.dictationForm);
    if (place.formPlacesItself && floating_.placeDictationForm)
        floating_.placeDictationForm();
}

void MainPanelDialog::layoutPanel()
{
    layoutFloating();
    if (!sentenceList_ || width() <= 0 || height() <= 0)
        return;
    sentenceList_->setGeometry(sentenceListRect(size(), compactLayout != 0, dockedAtTop != 0));
    sentenceList_->setColumnWidth(0, firstColumnWidth(width()));
    sentenceList_->fitAboveStatusBar();
}

void MainPanelDialog::toggleDock()
{
    if (compactLayout) {
        compactLayout = 0;
        if (floating_.dictationForm) {
            const QWidget* form = floating_.dictationForm;
            const int formTop = form->mapToGlobal(QPoint(0, 0)).y();
            dockedAtTop = docksAtTop(formTop, form->height(), clientOrigin.y(), height()) ? 1 : 0;
        }
        if (floating_.setDictationFormDocked)
            floating_.setDictationFormDocked(true);
    } else {
        compactLayout = 1;
        if (floating_.setDictationFormDocked)
            floating_.setDictationFormDocked(false);
    }
    layoutPanel();
}

void MainPanelDialog::leaveTopLayer()
{
    if (auto* frame = qobject_cast<FrameDialog*>(window()))
        frame->leaveTopLayer();
}

void MainPanelDialog::bringFrameToFront()
{
    if (auto* frame = qobject_cast<FrameDialog*>(window()))
        frame->bringToFront();
}

void MainPanelDialog::setAnswerBox(QWidget* answerBox)
{
    if (auto* frame = qobject_cast<FrameDialog*>(parentWidget()))
        frame->setAnswerBox(answerBox);
}

bool MainPanelDialog::whenFramePainted(QObject* context, std::function<void()> then)
{
    auto* frame = qobject_cast<FrameDialog*>(window());
    if (!frame)
        return false;
    connect(frame, &FrameDialog::firstFramePainted, context, std::move(then),
            Qt::SingleShotConnection);
    return true;
}

void MainPanelDialog::modeChanged(bool frameOnTop)
{
    if (!frameOnTop)
        leaveTopLayer();
    if (progressPanel_)
        progressPanel_->RefreshPanel();
}

void MainPanelDialog::panelMoved()
{
    clientOrigin = mapToGlobal(QPoint(0, 0));
    layoutFloating();
}

void MainPanelDialog::resizeEvent(QResizeEvent*)
{
    clientOrigin = mapToGlobal(QPoint(0, 0));
    layoutPanel();
}

void MainPanelDialog::moveEvent(QMoveEvent*)
{
    panelMoved();
}

void MainPanelDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kDialogBackground);
}

bool MainPanelDialog::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        // The panel never closes or acts by Escape or Enter.
        if (isSwallowedKey(static_cast<QKeyEvent*>(event)->key())) {
            event->accept();
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            emit contextMenuRequested(mouse->globalPosition().toPoint());
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace dictora
