// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/dictation_attempt.h"
#include "core/history/study_record.h"

#include "core/study/study_fixtures.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

class StudyRecordTest : public ::testing::Test {
protected:
    ScopedTimeZone zone{"Asia/Shanghai"};
    QTemporaryDir home;
    ProgramFolder folder{home.path() + "/"};
    StudyRecord record;

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        createDataFolders(folder);
    }
    AnswerEntry entry(const char* when, AnswerVerdict verdict, int tries, QStringList missed = {},
                      const QString& sentence = "I am here.")
    {
        AnswerEntry e;
        e.answeredAt = at(when);
        e.unlockedAt = e.answeredAt - 20;
        e.unit = "Lesson";
        e.section = "One";
        e.sentence = sentence;
        e.verdict = verdict;
        e.counted = verdict == AnswerVerdict::Right;
        e.tries = tries;
        e.seconds = 20;
        e.characters = int(sentence.size());
        e.missedWords = std::move(missed);
        return e;
    }
};

TEST_F(StudyRecordTest, PerDayFiguresCountRightAnswersAndFirstTries)
{
    ASSERT_TRUE(record.open(folder, StudyRecord::Mode::Write, at("20261201090000")))
        << record.error().toStdString();
    EXPECT_TRUE(record.notice().isEmpty());
    ASSERT_TRUE(record.appendAll({
        entry("20261201090000", AnswerVerdict::Right, 1),                 // right at once
        entry("20261201091000", AnswerVerdict::Wrong, 1, {"am"}),         // wrong first try
        entry("20261201091100", AnswerVerdict::Right, 2),                 // then right
        entry("20261203235959", AnswerVerdict::Wrong, 1, {"here"}),       // another day
        entry("20261203235959", AnswerVerdict::AnswerAgain, 2),           // given away
    })) << record.error().toStdString();
    const QList<DayFigures> days = record.dayFigures("20261201", "20261231");
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[0].day, "20261201");
    EXPECT_EQ(days[0].sentences, 2);
    EXPECT_EQ(days[0].characters, 20);
    EXPECT_EQ(days[0].seconds, 40);
    EXPECT_EQ(days[0].firstTries, 2);
    EXPECT_EQ(days[0].firstTryRight, 1);
    EXPECT_DOUBLE_EQ(days[0].firstTryAccuracy(), 0.5);
    EXPECT_EQ(days[1].day, "20261203");
    EXPECT_EQ(days[1].sentences, 0);
    EXPECT_EQ(days[1].firstTries, 1);
    EXPECT_TRUE(record.dayFigures("20261202", "20261202").isEmpty());
}

TEST_F(StudyRecordTest, MostMissedWordsComeWithTheirSentences)
{
    ASSERT_TRUE(record.open(folder, StudyRecord::Mode::Write, at("20261201090000")));
    ASSERT_TRUE(record.appendAll({
        entry("20261201090000", AnswerVerdict::Wrong, 1, {"am", "here"}),
        entry("20261201090100", AnswerVerdict::Wrong, 1, {"am"}, "We am late, \"really\""),
        entry("20261201090200", AnswerVerdict::Wrong, 1, {"朋友"}, "我们是朋友"),
    }));
    const QList<MissedWord> words = record.mostMissedWords(2);
    ASSERT_EQ(words.size(), 2);
    EXPECT_EQ(words[0].word, "am");
    EXPECT_EQ(words[0].count, 2);
    ASSERT_EQ(words[0].sentences.size(), 2);
    EXPECT_EQ(words[0].sentences[0].sentence, "I am here.");
    EXPECT_EQ(words[1].count, 1);

    const QStringList lines = QString::fromUtf8(record.csv()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("time,unit,section,sentence,verdict"));
    EXPECT_EQ(lines[2], "2026-12-01 09:01:00,Lesson,One,\"We am late, \"\"really\"\"\",wrong,0,1,0,0,"
                        "20,20,am");
}

TEST_F(StudyRecordTest, ADamagedRecordIsSetAsideAndANewOneBegun)
{
    const QString path = StudyRecord::recordPath(folder);
    const QByteArray junk(8192, 'x');
    ASSERT_TRUE(writeAll(path, junk));
    ASSERT_TRUE(record.open(folder, StudyRecord::Mode::Write, at("20261201090000")));
    EXPECT_TRUE(record.notice().contains("已移到")) << record.notice().toStdString();
    const QString kept = folder.backupFolder() + "history (损坏 20261201_090000).sqlite";
    EXPECT_EQ(record.setAsidePath(), kept);
    EXPECT_EQ(readAll(kept), junk);
    EXPECT_TRUE(record.append(entry("20261201090000", AnswerVerdict::Right, 1)));
    EXPECT_EQ(record.answerCount(), 1);
}

TEST_F(StudyRecordTest, AMissingRecordReadsAsEmptyAndIsNotCreated)
{
    ASSERT_TRUE(record.open(folder, StudyRecord::Mode::Read, at("20261201090000")));
    EXPECT_EQ(record.answerCount(), 0);
    EXPECT_TRUE(record.mostMissedWords(30).isEmpty());
    EXPECT_FALSE(QFile::exists(StudyRecord::recordPath(folder)));
}

TEST_F(StudyRecordTest, ADamagedRecordIsNeverSetAsideByAReader)
{
    const QString path = StudyRecord::recordPath(folder);
    ASSERT_TRUE(writeAll(path, QByteArray(8192, 'x')));
    EXPECT_FALSE(record.open(folder, StudyRecord::Mode::Read, at("20261201090000")));
    EXPECT_FALSE(record.error().isEmpty());
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(QDir(folder.backupFolder()).isEmpty());
}

TEST(DictationAttempt, CountsTriesAndRecordsEachMissedWordOncePerRow)
{
    DictationAttempt attempt;
    attempt.begin("Lesson", "One", "I am here.", 1000);
    const AnswerDiff wrong = diffAnswer(u"I am here.", u"I here");
    const AnswerEntry first = attempt.check(AnswerVerdict::Wrong, false, wrong, 0, false, 1010);
    EXPECT_EQ(first.tries, 1);
    EXPECT_EQ(first.missedWords, QStringList{"am"});
    const AnswerEntry second = attempt.check(AnswerVerdict::Wrong, false, wrong, 1, false, 1015);
    EXPECT_EQ(second.tries, 2);
    EXPECT_TRUE(second.missedWords.isEmpty());
    const AnswerEntry right =
        attempt.check(AnswerVerdict::Right, true, diffAnswer(u"I am here.", u"i am here"), 1,
                      false, 1030);
    EXPECT_EQ(right.tries, 3);
    EXPECT_EQ(right.seconds, 30);
    EXPECT_EQ(right.characters, 10);
    EXPECT_TRUE(right.counted);
    EXPECT_FALSE(attempt.isActive());
}

} // namespace
