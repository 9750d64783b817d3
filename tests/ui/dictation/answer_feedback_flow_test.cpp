// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictation_screen.h"

#include "core/history/study_record.h"
#include "core/study/unit_file.h"
#include "ui/dictation/answer_feedback.h"
#include "ui/dictation/dictation_form.h"
#include "ui/history/study_record_charts.h"
#include "ui/history/study_record_window.h"
#include "ui/media/voice_settings_dialog.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/sentence_list.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

namespace dictora::test {
namespace {

class AnswerFeedbackFlow : public DictationScreen {
protected:
    StudyRecord record;

    void start()
    {
        startWithUnit({{QStringLiteral("I am here."), 0, 1500}, {QStringLiteral("好朋友"), 2000, 3500}});
        ASSERT_TRUE(record.open(folder, StudyRecord::Mode::Write, state.now.toSecsSinceEpoch()));
        services->record = &record;
        panel().sentenceList()->toggleDictation();
        ASSERT_TRUE(waitForUnlock());
    }
};

TEST_F(AnswerFeedbackFlow, WrongAnswersAreMarkedAndEveryCheckIsRecorded)
{
    start();
    AnswerMarksView* marks = form().answerFeedback()->view();
    answer(QStringLiteral("I here"));
    ASSERT_TRUE(marks->isVisible());
    // The missing word shows as blanks until the sentence is revealed.
    EXPECT_EQ(marks->shownText(), QStringLiteral("I __ here"));
    EXPECT_EQ(marks->diff().missedWords, QStringList{QStringLiteral("am")});
    EXPECT_GE(marks->y(), form().mapToGlobal(QPoint(0, form().height())).y());
    EXPECT_EQ(record.answerCount(), 1);

    // The voice settings can hide the marks; the record goes on.
    QCheckBox* box = panel().voiceSettings()->answerMarksBox();
    ASSERT_TRUE(box->isChecked());
    box->click();
    EXPECT_FALSE(state.showAnswerMarks);
    answer(QStringLiteral("I is here"));
    EXPECT_FALSE(marks->isVisible());
    EXPECT_EQ(record.answerCount(), 2);
    box->click();

    // A right answer moves on: the marks go, the answer counts.
    answer(QStringLiteral("i am here"));
    EXPECT_FALSE(marks->isVisible());
    EXPECT_EQ(state.currentRow, rowOf(1));
    EXPECT_EQ(record.answerCount(), 3);
    const auto counted = record.countedAnswers(QStringLiteral("Lesson"));
    ASSERT_EQ(counted.size(), 1);
    EXPECT_EQ(counted[0].second, 1);
    const QList<DayFigures> days = record.dayFigures(QStringLiteral("20000101"), QStringLiteral("29991231"));
    ASSERT_EQ(days.size(), 1);
    EXPECT_EQ(days[0].sentences, 1);
    EXPECT_EQ(days[0].firstTries, 1);
    EXPECT_EQ(days[0].firstTryRight, 0);
}

TEST_F(AnswerFeedbackFlow, TheRecordWindowShowsTheDayAndPutsMissedSentencesInTheNotebook)
{
    start();
    answer(QStringLiteral("I here"));
    answer(QStringLiteral("i am here"));
    StudyRecordWindow* window = studyRecordWindow(panel());
    showStudyRecord(panel());
    ASSERT_TRUE(window->isVisible());
    // On a screen smaller than the window it asks for, it and its button stay on it.
    const QRect area = window->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(window->frameGeometry()));
    const QPushButton* button = window->notebookButton();
    EXPECT_TRUE(area.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())));
    EXPECT_TRUE(window->summary()->text().contains(QStringLiteral("1 句"))) << window->summary()->text().toStdString();
    ASSERT_EQ(window->missedWords()->rowCount(), 1);
    EXPECT_EQ(window->missedWords()->item(0, 0)->text(), QStringLiteral("am"));
    const QString today = FormatDayStamp(state.now.toSecsSinceEpoch());
    EXPECT_EQ(window->data().figuresOf(today).sentences, 1);
    EXPECT_TRUE(window->heatmap()->dayAt(QPoint(0, 0)).isEmpty());

    window->notebookButton()->click();
    EXPECT_TRUE(window->outcome()->text().contains(QStringLiteral("已加入生句本 1 句")))
        << window->outcome()->text().toStdString();
    const UnitReadResult notebook = readUnitFile(folder.dataFolder() + QStringLiteral("生句本.dat"), true);
    ASSERT_EQ(notebook.rows.size(), 1u);
    EXPECT_EQ(notebook.rows[0][Text], QStringLiteral("I am here."));
    window->hide();
}

} // namespace
} // namespace dictora::test
