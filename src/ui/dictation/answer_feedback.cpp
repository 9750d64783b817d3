// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dictation/answer_feedback.h"

#include "core/history/study_record.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/ui_font.h"

#include <QEvent>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>

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
    const QRect bounds = metrics.boundingRect(QRect(0, 0, textWidth, 2000),
                                              Qt::TextWrapAnywhere, shownText());
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
    const QString unit = services_.library ? services_.library->unitName() : panel_.unitName;
    attempt_.begin(unit, table.field(state.currentRow, SectionTitle),
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
        attempt_.begin(services_.library ? services_.library->unitName() : panel_.unitName,
                       table.field(row, SectionTitle), sentence,
                       services_.state.now.toSecsSinceEpoch());
    // Counted: a right answer on a row still to study raises its level.
    const bool counted = outcome.verdict == Verdict::Right && table.field(row, Done) == u"0";
    record(attempt_.check(verdictOf(outcome.verdict), counted, diff, hints.hintLevel, revealed,
                          services_.state.now.toSecsSinceEpoch()));
}

void AnswerFeedback::record(const AnswerEntry& entry)
{
    StudyRecord* studyRecord = services_.record;
    if (!studyRecord || !studyRecord->isOpen() || studyRecord->append(entry))
        return;
    // Study goes on without the record; the learner is told once.
    if (recordFailureShown_)
        return;
    recordFailureShown_ = true;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("学习记录"),
                                QStringLiteral("学习记录无法写入: %1").arg(studyRecord->error()),
                                QMessageBox::Ok, &panel_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace dictora
