// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/shell/learner_guide.h"

#include "core/shell/help_texts.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/shell/help_overlay.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/progress_panel.h"
#include "ui/study/sentence_list.h"
#include "ui/study/status_item.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"
#include "ui/widgets/ui_font.h"

#include <QHelpEvent>
#include <QLabel>
#include <QShortcut>
#include <QToolTip>

#include <algorithm>

namespace dictora {

namespace {

constexpr int kToolbarButtonWidth = 40;
// The notebook button shows its own tip ("加入生句本") on entering it.
constexpr int kButtonsWithTooltips = 3;

// Sentence rows of the open Unit, counted only as far as the hint cares.
int sentenceRowsUpTo(const SentenceTable& table, int limit)
{
    int count = 0;
    for (int row = 0; row < table.rowCount() && count < limit; ++row)
        if (!table.isTitleRow(row))
            ++count;
    return count;
}

} // namespace

LearnerGuide::LearnerGuide(MainPanelDialog& panel, const StudyState& state, UnitLibrary* library,
                           QWidget* frame)
    : QObject(frame), panel_(panel), state_(state), library_(library)
{
    HelpOverlay::instance(state_, frame);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), frame);
    f1->setContext(Qt::ApplicationShortcut);
    connect(f1, &QShortcut::activated, this, [] { HelpOverlay::showHelp(); });

    installTooltips();
    if (TipWindow* tip = panel_.tipWindow())
        tip->setHeldBack(&HelpOverlay::helpShown);

    if (SentenceList* list = panel_.sentenceList()) {
        hint_ = new QLabel(list->viewport());
        hint_->setObjectName(QStringLiteral("emptyListHint"));
        QFont font = uiFont();
        font.setPixelSize(16);
        hint_->setFont(font);
        hint_->setStyleSheet(QStringLiteral("color: rgb(60, 90, 70);"));
        hint_->hide();
    }
    connect(&timer_, &QTimer::timeout, this, &LearnerGuide::refreshListHint);
    timer_.start(250);

    if (library_) {
        connect(library_, &UnitLibrary::unitOpened, this, &LearnerGuide::unitOpened);
        connect(library_, &UnitLibrary::progressChanged, this, &LearnerGuide::figuresChanged);
    }
}

void LearnerGuide::installTooltips()
{
    if (ProgressPanel* progress = panel_.progressPanel()) {
        for (int type = 0; type < 4; ++type) {
            if (StatusItem* item = progress->item(StatusItemType(type))) {
                item->setToolTip(statusItemTip(type));
                // The panel never takes the focus; its tooltips show anyway.
                item->setAttribute(Qt::WA_AlwaysShowToolTips);
            }
        }
    }
    if (DictationForm* form = panel_.dictationForm()) {
        if (DictationToolbar* toolbar = form->toolbar()) {
            toolbar->setAttribute(Qt::WA_AlwaysShowToolTips);
            toolbar->installEventFilter(this);
        }
    }
}

bool LearnerGuide::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int button = help->pos().x() / kToolbarButtonWidth;
        if (button < kButtonsWithTooltips)
            QToolTip::showText(help->globalPos(), toolbarButtonTip(button),
                               qobject_cast<QWidget*>(watched));
        else
            QToolTip::hideText();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QString LearnerGuide::listHint() const
{
    return hint_ && hint_->isVisible() ? hint_->text() : QString();
}

void LearnerGuide::refreshListHint()
{
    SentenceList* list = panel_.sentenceList();
    if (!hint_ || !list)
        return;
    const QString text = state_.unitFilePath.isEmpty() || state_.dictationMode
                             ? QString()
                             : emptyListHint(sentenceRowsUpTo(panel_.services().sentences, 3),
                                             state_.isNotebook, state_.editMode);
    if (text.isEmpty()) {
        hint_->hide();
        return;
    }
    if (hint_->text() != text)
        hint_->setText(text);
    hint_->adjustSize();
    const int rows = list->model() ? list->model()->rowCount() : 0;
    const int below = rows * SentenceList::kRowHeight + 10;
    hint_->move(16, std::min(below, std::max(0, list->viewport()->height() - hint_->height())));
    hint_->show();
}

void LearnerGuide::unitOpened()
{
    openUnitPath_ = state_.unitFilePath;
    doneBefore_ = library_->lastFigures().todayDone;
    totalBefore_ = library_->lastFigures().todayTotal;
}

void LearnerGuide::figuresChanged()
{
    const ProgressFigures& now = library_->lastFigures();
    // Figures of another Unit (the start-up scan, a Unit being opened) are
    // no answer of the learner's.
    if (state_.unitFilePath != openUnitPath_) {
        unitOpened();
        return;
    }
    const bool reached = quotaJustReached(doneBefore_, totalBefore_, now.todayDone, now.todayTotal);
    doneBefore_ = now.todayDone;
    totalBefore_ = now.todayTotal;
    if (!reached)
        return;
    lastQuotaTip_ = quotaDoneTip(now.todayDone, now.todayDoneChars, library_->totalPercentText());
    if (TipWindow* tip = panel_.tipWindow()) {
        const ProgressPanel* progress = panel_.progressPanel();
        const QRect at = progress ? progress->geometry() : QRect();
        tip->ShowTip(at.x() + 200, at.y() - TipWindow::kHeight - 10, lastQuotaTip_);
    }
}

} // namespace dictora
