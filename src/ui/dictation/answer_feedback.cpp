// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dictation/answer_feedback.h"

#include "core/history/study_record.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"
#include "ui/widgets/ui_font.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QPainter>
#include <QScreen>

#include <cstdio>

namespace dictora {

namespace {

const QColor kBackground(250, 245, 245);
const QColor kBorder(200, 180, 180);

QColor markColour(DiffMark mark)
{
    switch (mark) {
    case DiffMark::Right:
        return {18, 18, 188};
    case DiffMark::Wrong:
        return {228, 18, 18};
    case DiffMark::Extra:
        return {230, 128, 0};
    case DiffMark::Missing:
        return {8, 150, 8};
    case DiffMark::Plain:
        break;
    }
    return {120, 120, 130};
}

constexpr int kPadding = 8;

QFont marksFont()
{
    QFont font = uiFont();
    font.setPixelSize(24);
    font.setWeight(QFont::DemiBold);
    return font;
}

AnswerVerdict verdictOf(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Right:
        return AnswerVerdict::Right;
    case Verdict::AnswerAgain:
        return AnswerVerdict::AnswerAgain;
    case Verdict::Wrong:
        break;
    }
    return AnswerVerdict::Wrong;
}

// The learner's words for why answers wait for the record.
QString waitingReason(RecordFault fault)
{
    switch (fault) {
    case RecordFault::Busy:
        return QStringLiteral("学习记录被另一程序占用");
    case RecordFault::Full:
        return QStringLiteral("磁盘已满");
    default:
        return QStringLiteral("学习记录暂时无法写入");
    }
}

} // namespace

AnswerMarksView::AnswerMarksView(QWidget* form)
    : QWidget(form, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                        Qt::WindowStaysOnTopHint),
      form_(form)
{
    setObjectName(QStringLiteral("answerMarks"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(marksFont());
    form_->installEventFilter(this);
}

QString AnswerMarksView::pieceText(const DiffPiece& piece) const
{
    if (piece.mark != DiffMark::Missing || revealed_)
        return piece.text;
    // Blanks of the missing part's length: full-width for Chinese text.
    QString blanks;
    for (const QChar c : piece.text)
        blanks += c.isSpace() ? c : (isCharacterScript(c) ? QChar(0xFF3F) : QChar(u'_'));
    return blanks;
}

QString AnswerMarksView::shownText() const
{
    QString text;
    for (const DiffPiece& piece : diff_.pieces)
        text += pieceText(piece);
    return text;
}

void AnswerMarksView::showMarks(const AnswerDiff& diff, bool revealed)
{
    diff_ = diff;
    revealed_ = revealed;
    follow();
    show();
    update();
}

void AnswerMarksView::follow()
{
    const QFontMetrics metrics(font());
    const int width = std::max(form_->width(), 200);
    const int textWidth = std::max(1, width - 2 * kPadding);
    const QRect bounds =
        metrics.boundingRect(QRect(0, 0, textWidth, 2000), Qt::TextWrapAnywhere, shownText());
    const int height = bounds.height() + 2 * kPadding;
    QPoint at = form_->mapToGlobal(QPoint(0, form_->height() + 2));
    if (const QScreen* screen = form_->screen()) {
        const QRect area = screen->availableGeometry();
        if (at.y() + height > area.bottom())
            at.setY(form_->mapToGlobal(QPoint(0, 0)).y() - height - 2);
    }
    setGeometry(QRect(at, QSize(width, height)));
}

bool AnswerMarksView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == form_) {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
            if (isVisible())
                follow();
        } else if (event->type() == QEvent::Hide) {
            hide();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AnswerMarksView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setPen(kBorder);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QFontMetrics metrics(font());
    int x = kPadding;
    int y = kPadding + metrics.ascent();
    const int right = width() - kPadding;
    for (const DiffPiece& piece : diff_.pieces) {
        QFont font = this->font();
        font.setUnderline(piece.mark == DiffMark::Wrong);
        font.setStrikeOut(piece.mark == DiffMark::Extra);
        painter.setFont(font);
        painter.setPen(markColour(piece.mark));
        const QString text = pieceText(piece);
        for (const QChar c : text) {
            const int w = metrics.horizontalAdvance(c);
            if (x + w > right && x > kPadding) {
                x = kPadding;
                y += metrics.height();
            }
            painter.drawText(x, y, QString(c));
            x += w;
        }
    }
}

AnswerFeedback::AnswerFeedback(QWidget& form, StudyPanel& panel, StudyServices& services)
    : QObject(&form), panel_(panel), services_(services), view_(new AnswerMarksView(&form))
{
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &AnswerFeedback::retryWaiting);
}

void AnswerFeedback::rowLoaded()
{
    view_->hide();
    attempt_.end();
    const StudyState& state = services_.state;
    const SentenceTable& table = services_.sentences;
    if (!state.dictationMode || !table.isValidRow(state.currentRow) ||
        table.isTitleRow(state.currentRow))
        return;
    attempt_.begin(services_.openUnitName(), table.field(state.currentRow, SectionTitle),
                   table.field(state.currentRow, Text), state.now.toSecsSinceEpoch());
}

void AnswerFeedback::answerChecked(int row, const QString& answer, const SubmitOutcome& outcome,
                                   const HintState& hints)
{
    const SentenceTable& table = services_.sentences;
    const QString sentence = table.field(row, Text);
    const AnswerDiff diff = diffAnswer(sentence, answer);
    const bool revealed = outcome.reveal || hints.hintLevel >= HintState::kRevealLevel ||
                          outcome.verdict == Verdict::AnswerAgain;
    if (services_.state.showAnswerMarks && outcome.verdict != Verdict::Right)
        view_->showMarks(diff, revealed);
    else
        view_->hide();

    if (!attempt_.isActive() || attempt_.sentence() != sentence)
        attempt_.begin(services_.openUnitName(), table.field(row, SectionTitle), sentence,
                       services_.state.now.toSecsSinceEpoch());
    // Counted: a right answer on a row still to study raises its level.
    const bool counted = outcome.verdict == Verdict::Right && table.field(row, Done) == u"0";
    record(attempt_.check(verdictOf(outcome.verdict), counted, diff, hints.hintLevel, revealed,
                          services_.state.now.toSecsSinceEpoch()));
}

void AnswerFeedback::record(const AnswerEntry& entry)
{
    StudyRecord* studyRecord = services_.record;
    if (!studyRecord || !studyRecord->takesAnswers())
        return;
    const qsizetype waitingBefore = studyRecord->waitingCount();
    QElapsedTimer waited;
    waited.start();
    const bool written = studyRecord->book(entry, services_.state.now.toSecsSinceEpoch());
    // DICTORA_REPORT_RECORD_WAIT=1 prints how long each Enter waited on the
    // record; the driven trials of a locked or full record read it.
    static const bool reportWait = qEnvironmentVariableIntValue("DICTORA_REPORT_RECORD_WAIT") == 1;
    if (reportWait)
        std::fprintf(stderr, "record-wait-ms %.3f waiting %lld\n",
                     double(waited.nsecsElapsed()) / 1e6,
                     static_cast<long long>(studyRecord->waitingCount()));
    if (written) {
        if (retry_.isActive())
            QTimer::singleShot(0, this, [this, waitingBefore] { caughtUp(waitingBefore); });
        return;
    }
    if (!retry_.isActive()) {
        written_ = 0;
        retry_.start();
    }
    // Said once the form has carried the answer out: what it does with the
    // tip (a hint, hiding it) comes first.
    QTimer::singleShot(0, this, &AnswerFeedback::tellWaiting);
}

void AnswerFeedback::retryWaiting()
{
    StudyRecord* studyRecord = services_.record;
    if (!studyRecord)
        return;
    const qsizetype waiting = studyRecord->waitingCount();
    if (studyRecord->writeWaiting(services_.state.now.toSecsSinceEpoch())) {
        caughtUp(waiting);
        return;
    }
    tellWaiting();
}

void AnswerFeedback::caughtUp(qsizetype written)
{
    retry_.stop();
    written_ += written;
    tell(QStringLiteral("学习记录已补写 %1 条回答").arg(written_));
}

void AnswerFeedback::tellWaiting()
{
    // A hint the form shows keeps the tip; the retry says it again later.
    const TipWindow* tip = panel_.tipWindow();
    if (tip && tip->tipVisible() && tip->text() != toldText_)
        return;
    const StudyRecord* studyRecord = services_.record;
    tell(QStringLiteral("%1, %2 条回答等待写入")
             .arg(waitingReason(studyRecord->fault()))
             .arg(studyRecord->waitingCount()));
}

void AnswerFeedback::tell(const QString& text)
{
    // Above the form, where the hints are not, and owned by no window: the
    // form hides its own tips away from the caret. The tip never takes the
    // keyboard, so the learner types on.
    TipWindow* tip = panel_.tipWindow();
    auto* form = qobject_cast<QWidget*>(parent());
    toldText_ = text;
    if (!tip || !form || !form->isVisible())
        return;
    const QPoint at = form->mapToGlobal(QPoint(0, -TipWindow::kHeight - 6));
    tip->ShowTip(at.x(), at.y(), text);
}

} // namespace dictora
