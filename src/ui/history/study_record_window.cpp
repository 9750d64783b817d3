// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/history/study_record_window.h"

#include "core/history/missed_to_notebook.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "ui/history/study_record_charts.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/ui_font.h"
#include "ui/widgets/screen_places.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace dictora {

StudyRecordWindow::StudyRecordWindow(StudyPanel& panel, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), panel_(panel),
      services_(panel.services()), summary_(new QLabel(this)), heatmap_(new CalendarHeatmap(this)),
      chart_(new DailyFiguresChart(this)), words_(new QTableWidget(0, 3, this)),
      notebookButton_(new QPushButton(QStringLiteral("易错句加入生句本"), this)),
      outcome_(new QLabel(this))
{
    setObjectName(QStringLiteral("studyRecord"));
    setWindowTitle(QStringLiteral("学习记录"));
    setFont(uiFont());
    summary_->setObjectName(QStringLiteral("recordSummary"));
    words_->setObjectName(QStringLiteral("missedWords"));
    words_->setHorizontalHeaderLabels(
        {QStringLiteral("易错词"), QStringLiteral("次数"), QStringLiteral("出自")});
    words_->horizontalHeader()->setStretchLastSection(true);
    words_->verticalHeader()->hide();
    words_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    words_->setSelectionBehavior(QAbstractItemView::SelectRows);
    words_->setMinimumHeight(180);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(heatmap_);
    layout->addWidget(chart_);
    layout->addWidget(words_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(outcome_, 1);
    buttons->addWidget(notebookButton_);
    layout->addLayout(buttons);
    connect(notebookButton_, &QPushButton::clicked, this, &StudyRecordWindow::addMissedToNotebook);
    // The charts and the word list give up height before the buttons leave
    // a small screen: the whole window is kept on it.
    heatmap_->setMinimumHeight(heatmap_->sizeHint().height());
    chart_->setMinimumHeight(150);
    words_->setMinimumHeight(120);
    resize(880, 760);
    keepFramedOnScreen(this, panel.window());
}

void StudyRecordWindow::showEvent(QShowEvent* event)
{
    reload();
    QDialog::showEvent(event);
}

void StudyRecordWindow::reload()
{
    outcome_->clear();
    if (services_.record)
        data_ = readHistory(*services_.record, services_.state.now.toSecsSinceEpoch());
    else
        data_ = HistoryWindowData{};
    const DayFigures total = data_.totals();
    summary_->setText(QStringLiteral("近一年: 学习 %1 天, %2 句, %3 字, %4 分钟; 首次正确率 %5%")
                          .arg(data_.days.size())
                          .arg(total.sentences)
                          .arg(total.characters)
                          .arg(shownMinutes(total.seconds))
                          .arg(qRound(total.firstTryAccuracy() * 100)));
    heatmap_->setData(&data_);
    chart_->setData(&data_);
    words_->setRowCount(int(data_.missedWords.size()));
    for (int k = 0; k < data_.missedWords.size(); ++k) {
        const MissedWord& word = data_.missedWords[k];
        QStringList from;
        for (const MissedSentence& s : word.sentences)
            from << s.sentence;
        auto* where = new QTableWidgetItem(from.join(QStringLiteral("  /  ")));
        where->setToolTip(from.join(u'\n'));
        words_->setItem(k, 0, new QTableWidgetItem(word.word));
        words_->setItem(k, 1, new QTableWidgetItem(QString::number(word.count)));
        words_->setItem(k, 2, where);
    }
    words_->resizeColumnToContents(0);
    words_->resizeColumnToContents(1);
    notebookButton_->setEnabled(!data_.missedWords.isEmpty() && services_.library);
}

void StudyRecordWindow::addMissedToNotebook()
{
    if (!services_.library)
        return;
    QList<int> rows;
    for (const QModelIndex& index : words_->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty())
        for (int k = 0; k < data_.missedWords.size(); ++k)
            rows << k;
    QList<MissedSentence> sentences;
    for (const int row : rows)
        if (row < data_.missedWords.size())
            sentences << data_.missedWords[row].sentences;
    const NotebookAddition added =
        dictora::addMissedToNotebook(*services_.library, services_.sentences, sentences);
    if (!added.error.isEmpty()) {
        outcome_->setText(added.error);
        return;
    }
    outcome_->setText(QStringLiteral("已加入生句本 %1 句; 已在生句本中 %2 句; 找不到 %3 句")
                          .arg(added.added)
                          .arg(added.alreadyThere)
                          .arg(added.notFound));
}

StudyRecordWindow* studyRecordWindow(StudyPanel& panel)
{
    if (auto* window = panel.findChild<StudyRecordWindow*>(QStringLiteral("studyRecord")))
        return window;
    return new StudyRecordWindow(panel, &panel);
}

void showStudyRecord(StudyPanel& panel)
{
    StudyRecordWindow* window = studyRecordWindow(panel);
    if (window->isVisible())
        window->reload();
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace dictora
