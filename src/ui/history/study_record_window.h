// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/history/history_window_data.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace dictora {

class CalendarHeatmap;
class DailyFiguresChart;
class StudyPanel;
struct StudyServices;

// "学习记录": the learner's study record. A calendar of the last 365 days, the
// sentences, characters and minutes of each day with the first-try
// accuracy, and the 30 most-missed words ("易错词") with the sentences they
// come from; a button puts those sentences into the Sentence Notebook. Read
// afresh each time it is shown.
class StudyRecordWindow : public QDialog {
    Q_OBJECT
public:
    StudyRecordWindow(StudyPanel& panel, QWidget* owner);

    // Reads the record as of the study state's now and redraws.
    void reload();
    // Puts the sentences of the selected words (all words when none is
    // selected) into the Notebook and says how it went.
    void addMissedToNotebook();

    const HistoryWindowData& data() const { return data_; }
    CalendarHeatmap* heatmap() const { return heatmap_; }
    QTableWidget* missedWords() const { return words_; }
    QPushButton* notebookButton() const { return notebookButton_; }
    QLabel* summary() const { return summary_; }
    QLabel* outcome() const { return outcome_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    StudyPanel& panel_;
    StudyServices& services_;
    HistoryWindowData data_;
    QLabel* summary_;
    CalendarHeatmap* heatmap_;
    DailyFiguresChart* chart_;
    QTableWidget* words_;
    QPushButton* notebookButton_;
    QLabel* outcome_;
};

// The one record window of the panel, made the first time it is asked for.
StudyRecordWindow* studyRecordWindow(StudyPanel& panel);
// Shows it (from the main menu and the progress panel).
void showStudyRecord(StudyPanel& panel);

} // namespace dictora
