// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/study/sentence_list.h"

#include "core/media/media_commands.h"
#include "core/media/media_player.h"
#include "core/media/speech_output.h"
#include "core/import/content_files.h"
#include "core/media/media_window_input.h"
#include "core/study/review_marks.h"
#include "core/study/row_look.h"
#include "core/study/unit_library.h"
#include "core/study/sentence_list_rules.h"
#include "core/study/sentence_table.h"
#include "core/study/study_keys.h"
#include "core/study/study_session.h"
#include "ui/widgets/dialog_colours.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/panel_layout.h"
#include "ui/study/sentence_row_delegate.h"
#include "ui/study/waveform_strip.h"
#include "ui/widgets/sound_cues.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"
#include "ui/widgets/listening_input.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

#include <utility>

namespace dictora {

SentenceList::SentenceList(StudyPanel& panel, QWidget* parent)
    : QTableView(parent), panel_(panel), session_(panel.services().session), state_(panel.state()),
      table_(panel.services().sentences)
{
    setObjectName(QStringLiteral("sentenceList"));
    translatesListeningKeys(this);
    setModel(&table_);
    delegate_ = new SentenceRowDelegate(table_, state_, this);
    delegate_->watchSelectedPoint(&selectedPoint);
    if (ReviewMarks* marks = reviewMarks()) {
        delegate_->watchReviewMarks(marks);
        connect(marks, &ReviewMarks::changed, viewport(), qOverload<>(&QWidget::update));
    }
    setItemDelegate(delegate_);
    auto* strip = new WaveformStrip(*this, panel.services(), panel.services().analysis);
    strip->setCoveringWindows([&panel]() -> QList<QRect> {
        const QWidget* form = panel.floating().dictationForm;
        if (form && form->isVisible())
            return {QRect(form->mapToGlobal(QPoint(0, 0)), form->size())};
        return {};
    });
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    setShowGrid(false);
    setFrameShape(QFrame::NoFrame);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAutoScroll(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);
    QPalette listPalette = palette();
    listPalette.setColor(QPalette::Base, kSentenceListBackground);
    listPalette.setColor(QPalette::Window, kSentenceListBackground);
    setPalette(listPalette);
    for (int column = 1; column < FieldCount; ++column)
        setColumnHidden(column, true);

    // Outlined texts left plain by a busy frame are finished between frames.
    pictureTimer_.setSingleShot(true);
    pictureTimer_.setInterval(0);
    connect(&pictureTimer_, &QTimer::timeout, this, [this] {
        if (delegate_->makeWaitingPictures(8))
            pictureTimer_.start();
        viewport()->update();
    });
}

void SentenceList::paintEvent(QPaintEvent* event)
{
    delegate_->beginFrame();
    QTableView::paintEvent(event);
    if (delegate_->hasWaitingPictures() && !pictureTimer_.isActive())
        pictureTimer_.start();
}

SentenceList::~SentenceList() = default;

// --- repainting -------------------------------------------------------------

void SentenceList::repaintAll()
{
    viewport()->update();
}

void SentenceList::InvalidateRowPart(int row, int part)
{
    if (state_.currentRow < 0 || (row != -1 && !table_.isValidRow(row)))
        return;
    const QRect rowRect = row == -1 ? currentRowRect : visualRect(table_.index(row, 0));
    const auto [left, right] =
        rowPartSpan(part, state_.editMode, columnWidth(0), viewport()->width());
    viewport()->update(QRect(left, rowRect.top(), right - left, rowRect.height()));
}

// --- selection --------------------------------------------------------------

void SentenceList::selectRow(int row)
{
    if (!table_.isValidRow(row)) {
        clearSelection();
        return;
    }
    const QModelIndex index = table_.index(row, 0);
    setCurrentIndex(index);
    selectionModel()->select(index,
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void SentenceList::selectionChanged(const QItemSelection& selected,
                                    const QItemSelection& deselected)
{
    QTableView::selectionChanged(selected, deselected);
    if (selected.isEmpty() || removing_)
        return;
    const int row = selected.indexes().first().row();
    rowSelected(row);
}

ReviewMarks* SentenceList::reviewMarks() const
{
    UnitLibrary* library = panel_.services().library;
    return library ? &library->reviewMarks() : nullptr;
}

void SentenceList::lookedAtCurrentRow()
{
    if (ReviewMarks* marks = reviewMarks())
        marks->lookedAt(state_.currentRow, state_);
}

void SentenceList::rowSelected(int row)
{
    const int previous = state_.currentRow;
    selectionJustChanged = true;
    const RowDecision d = session_.selectRow(row, mediaBusy());
    lookedAtCurrentRow();
    currentRowRect = visualRect(table_.index(row, 0));
    if (table_.isValidRow(previous))
        viewport()->update(visualRect(table_.index(previous, 0)));
    viewport()->update(currentRowRect);

    if (!keyNavigating)
        pageTo(row);

    if (d.pickTimePoint)
        pickTimePointFromCursor(row);
    if (d.holdForm)
        holdDictationForm();
    if (d.loadRow)
        loadRow();
    if (d.playRow)
        playRow();
    if (!d.tip.isEmpty())
        showTipAtCursor(d.tip, -30, 10);
}

void SentenceList::pageTo(int row)
{
    const int rowTop = visualRect(table_.index(row, 0)).top();
    // The rows' own height: the panel less the docked strip and less the
    // status bar lying over the list's bottom.
    const int target =
        pagingTarget(rowTop, row, viewport()->height(), table_.rowCount(), kRowHeight);
    if (target >= 0)
        scrollTo(table_.index(target, 0), QAbstractItemView::EnsureVisible);
    currentRowRect = visualRect(table_.index(row, 0));
}

bool SentenceList::pickTimePointFromCursor(int row)
{
    const int x = state_.cursorPos.x() - panel_.mapToGlobal(QPoint(0, 0)).x();
    const int point = timePointAt(x);
    if (point == selectedPoint)
        return false;
    selectedPoint = point;
    if (row == state_.currentRow)
        InvalidateRowPart(-1, TimeColumns);
    return true;
}

// --- mouse ------------------------------------------------------------------

void SentenceList::mousePressEvent(QMouseEvent* event)
{
    session_.cursorMoved(event->globalPosition().toPoint());
    // A right click never changes the selection; its release opens the menu.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    pressedRow_ = indexAt(event->position().toPoint()).row();
    QTableView::mousePressEvent(event);
}

void SentenceList::mouseReleaseEvent(QMouseEvent* event)
{
    session_.cursorMoved(event->globalPosition().toPoint());
    QTableView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const int clicked = indexAt(event->position().toPoint()).row();
    // The release that ends a double click, or one away from the pressed
    // row, is no click.
    if (clicked >= 0 && clicked != std::exchange(pressedRow_, -1))
        return;
    const ListClick click = listClick(table_, clicked, state_.currentRow, state_.editMode, false);
    if (click.forgetPoint) {
        selectedPoint = -1000;
        return;
    }
    if (std::exchange(selectionJustChanged, false))
        return;
    if (click.pickTimePoint)
        pickTimePointFromCursor(clicked);
    if (click.togglePlayback)
        togglePlayback();
    if (!click.tip.isEmpty())
        showTipAtCursor(click.tip, -30, 10);
}

void SentenceList::mouseDoubleClickEvent(QMouseEvent* event)
{
    session_.cursorMoved(event->globalPosition().toPoint());
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const int row = indexAt(event->position().toPoint()).row();
    // The second press of a double click is not a new click on the row.
    pressedRow_ = -1;
    const ListClick click = listClick(table_, row, state_.currentRow, state_.editMode, true);
    if (click.forgetPoint)
        selectedPoint = -1000;
    if (click.openTitle)
        openAddContentForTitle();
}

bool SentenceList::viewportEvent(QEvent* event)
{
    // The list view would start a drag or show tool tips of its own; a row
    // that waits for the learner's look says why.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const ReviewMarks* marks = reviewMarks();
        const std::optional<ReviewReason> reason =
            marks ? marks->reasonAt(rowAt(help->pos().y())) : std::nullopt;
        if (reason)
            QToolTip::showText(help->globalPos(), reviewReasonText(*reason), viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return QTableView::viewportEvent(event);
}

void SentenceList::togglePlayback()
{
    static constexpr SpaceAction kToggle[] = {SpaceAction::Pause, SpaceAction::Resume,
                                              SpaceAction::Replay};
    carryOut(kToggle[int(mediaPlaybackToggle(mediaMode(), mediaPaused()))]);
}

// --- keys -------------------------------------------------------------------

ListKeyContext SentenceList::keyContext() const
{
    ListKeyContext context;
    context.mode = session_.mode();
    const int row = state_.currentRow;
    context.sentenceRow = table_.isValidRow(row) && table_.isSentence(row);
    context.selectedPoint = selectedPoint;
    context.hasMediaName = context.sentenceRow && !table_.field(row, MediaName).isEmpty();
    context.looping = listeningContext(panel_.services()).looping;
    return context;
}

void SentenceList::keyPressEvent(QKeyEvent* event)
{
    const ListKeyDown down = sentenceListKeyDown(keyPressOf(event), keyContext());
    dictora::carryOut(down.listening, panel_.services());
    switch (down.action) {
    case ListKeyDown::Navigate:
        keyNavigating = true;
        QTableView::keyPressEvent(event);
        return;
    case ListKeyDown::ChoosePoint:
        if (down.point != selectedPoint) {
            selectedPoint = down.point;
            InvalidateRowPart(-1, TimeColumns);
        }
        break;
    case ListKeyDown::ShiftTime:
        ShiftTime(down.shift->deltaMs, down.shift->wholeSpan);
        break;
    case ListKeyDown::Swallow:
    case ListKeyDown::Listen:
        break;
    }
    // Every other key is swallowed: no type-ahead selection.
    event->accept();
}

void SentenceList::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
    // Held keys repeat their press alone, as the list expects.
    if (event->isAutoRepeat())
        return;
    keyNavigating = false;
    if (event->key() != Qt::Key_Space)
        return;
    carryOut(spaceAction(session_.mode(), keyContext().sentenceRow, playbackNow()));
}

// --- Line-by-line play ------------------------------------------------------

void SentenceList::NextLine()
{
    const NextLineDecision d = session_.next();
    if (d.selectRow >= 0) {
        advancing = d.advancing;
        selectRow(d.selectRow);
        return;
    }
    panel_.modeChanged(d.frameOnTop);
    if (d.clearSpeechPending && panel_.services().speech)
        panel_.services().speech->clearSpeechPending();
    if (d.stopMedia && panel_.services().player)
        panel_.services().player->stopMedia();
}

// --- tips and cues ----------------------------------------------------------

void SentenceList::showTipAtCursor(const QString& text, int dx, int dy)
{
    if (TipWindow* tip = panel_.tipWindow())
        tip->ShowTip(state_.cursorPos.x() + dx, state_.cursorPos.y() + dy, text);
}

void SentenceList::refuse(const QString& tip)
{
    playErrorCue(panel_.services().media);
    showTipAtCursor(tip);
}

// --- dropped files ----------------------------------------------------------

void SentenceList::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void SentenceList::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void SentenceList::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    session_.cursorMoved(mapToGlobal(event->position().toPoint()));
    event->acceptProposedAction();
    dropFiles(paths);
}

int SentenceList::dropFiles(const QStringList& paths)
{
    const FileDrop drop = fileDrop(paths, state_.editMode, state_.isNotebook);
    for (const QString& file : drop.files)
        openAddContentWithFile(file);
    if (!drop.refusal.isEmpty())
        refuse(drop.refusal);
    return int(drop.files.size());
}

// --- closing a Unit ---------------------------------------------------------

void SentenceList::closeUnitWindows()
{
    if (changeDialog)
        changeDialog->close();
    if (openDialog)
        openDialog->close();
    changeDialog = nullptr;
    openDialog = nullptr;
    selectedPoint = -1000;
    currentRowRect = {};
}

} // namespace dictora
