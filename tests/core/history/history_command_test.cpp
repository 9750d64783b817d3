// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/history_window_data.h"
#include "core/history/study_record.h"

#include "core/study/cli_run.h"
#include "core/study/study_fixtures.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

class HistoryCommand : public ::testing::Test {
protected:
    ScopedTimeZone zone{"Asia/Shanghai"};
    QTemporaryDir home;
    ProgramFolder folder{home.path() + "/"};

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        createDataFolders(folder);
        StudyRecord record;
        ASSERT_TRUE(record.open(folder, StudyRecord::Mode::Write, 0));
        QList<AnswerEntry> entries;
        for (const char* when : {"20261201100000", "20261207100000", "20261208100000"}) {
            AnswerEntry wrong;
            wrong.answeredAt = at(when);
            wrong.unit = "Lesson";
            wrong.sentence = "I am here.";
            wrong.missedWords = {"am"};
            wrong.characters = 10;
            AnswerEntry right = wrong;
            right.verdict = AnswerVerdict::Right;
            right.tries = 2;
            right.seconds = 90;
            right.missedWords.clear();
            entries << wrong << right;
        }
        ASSERT_TRUE(record.appendAll(entries));
    }
};

TEST_F(HistoryCommand, PrintsTheDaysAskedForAndTheMissedWords)
{
    const CliRun run = runCli({"history", "--days", "2", "--now", "20261208120000"}, home.path());
    ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
    EXPECT_EQ(run.json["firstDay"].toString(), "20261207");
    const QJsonArray days = run.json["days"].toArray();
    ASSERT_EQ(days.size(), 2);
    const QJsonObject today = days[1].toObject();
    EXPECT_EQ(today["day"].toString(), "20261208");
    EXPECT_EQ(today["sentences"].toInt(), 1);
    EXPECT_EQ(today["characters"].toInt(), 10);
    EXPECT_DOUBLE_EQ(today["minutes"].toDouble(), 1.5);
    EXPECT_DOUBLE_EQ(today["firstTryAccuracy"].toDouble(), 0.0);
    const QJsonArray words = run.json["missedWords"].toArray();
    ASSERT_EQ(words.size(), 1);
    EXPECT_EQ(words[0].toObject()["word"].toString(), "am");
    EXPECT_EQ(words[0].toObject()["count"].toInt(), 3);

    EXPECT_EQ(runCli({"history", "--days", "0"}, home.path()).exitCode, 2);
}

TEST_F(HistoryCommand, WritesEveryAnswerAsCsvWithoutReplacingAFile)
{
    const QString csv = home.filePath("answers.csv");
    const CliRun run = runCli({"history", "--csv", csv}, home.path());
    ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
    EXPECT_EQ(run.json["answers"].toInt(), 6);
    EXPECT_EQ(readAll(csv).count('\n'), 7);
    const CliRun again = runCli({"history", "--csv", csv}, home.path());
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.error.contains("exists already")) << again.error.toStdString();
    EXPECT_EQ(runCli({"history", "--csv", csv, "--force"}, home.path()).exitCode, 0);
}

TEST(HistoryWindowData, CalendarShadesAndEmptyDays)
{
    EXPECT_EQ(heatLevel(0), 0);
    EXPECT_EQ(heatLevel(1), 1);
    EXPECT_EQ(heatLevel(4), 1);
    EXPECT_EQ(heatLevel(5), 2);
    EXPECT_EQ(heatLevel(19), 3);
    EXPECT_EQ(heatLevel(20), 4);
    HistoryWindowData data;
    data.days = {{"20261201", 3, 30, 60, 2, 1}, {"20261205", 1, 10, 10, 1, 1}};
    EXPECT_EQ(data.figuresOf("20261205").sentences, 1);
    EXPECT_EQ(data.figuresOf("20261203").sentences, 0);
    EXPECT_EQ(data.figuresOf("20261203").day, "20261203");
    EXPECT_EQ(data.totals().firstTryRight, 2);
}

TEST(HistoryWindowData, MinutesRoundToTheNearestEverywhereAlike)
{
    const std::pair<int, int> cases[] = {{0, 0}, {29, 0}, {30, 1}, {89, 1}, {90, 2}, {-5, 0}};
    for (const auto& [seconds, minutes] : cases)
        EXPECT_EQ(shownMinutes(seconds), minutes) << seconds << " s";
}

} // namespace
