// SPDX-License-Identifier: GPL-3.0-or-later
// The record and the Unit file after the program is killed in the middle of
// study: the same test program, started again as a child, studies as
// Dictora does (the answer is recorded when it is checked, the Unit saved
// right after) until it is sent SIGKILL.
#include "core/history/dictation_attempt.h"
#include "core/history/study_record.h"
#include "core/study/unit_file.h"
#include "core/study/unit_library.h"

#include "core/study/study_fixtures.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace dictora;
using namespace dictora::test;

namespace {

const char* kChildFolder = "DICTORA_TEST_STUDY_CHILD";
constexpr int kSentences = 400;

QString sentenceText(int k)
{
    return QStringLiteral("Sentence number %1 is here.").arg(k);
}

// Runs only as the child: studies every sentence twice over (a wrong then a
// right answer each), printing a line after each saved answer, until killed.
TEST(StudyChild, StudiesUntilKilled)
{
    const char* home = std::getenv(kChildFolder);
    if (!home)
        GTEST_SKIP() << "runs only as the child of RecordSurvivesKill";
    ProgramFolder folder{QString::fromLocal8Bit(home)};
    StudyState state;
    SentenceTable table;
    UnitLibrary library(folder, state, table);
    StudyRecord record;
    TimeValue now = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(record.open(folder, StudyRecord::Mode::Write, now));
    library.listDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("Lesson")));
    DictationAttempt attempt;
    for (int row = 0; row < table.rowCount(); ++row) {
        if (table.field(row, Kind) != u"1")
            continue;
        state.currentRow = row;
        const QString text = table.field(row, Text);
        attempt.begin("Lesson", table.field(row, SectionTitle), text, now);
        ASSERT_TRUE(record.append(attempt.check(AnswerVerdict::Wrong, false,
                                                diffAnswer(text, u"nothing"), 0, false, now)));
        state.now = QDateTime::fromSecsSinceEpoch(++now);
        const AnswerResult result = library.answerAccepted(0, now - 1);
        ASSERT_TRUE(record.append(attempt.check(AnswerVerdict::Right,
                                                result.effect == AnswerEffect::Rested,
                                                diffAnswer(text, text), 0, false, now)));
        ASSERT_TRUE(library.SaveUnit());
        std::printf("answered %d\n", row);
        std::fflush(stdout);
    }
}

TEST(RecordSurvivesKill, FiguresAgreeWithTheUnitLevelsAfterSigkill)
{
    ScopedTimeZone zone{"Asia/Shanghai"};
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    ProgramFolder folder{home.path() + "/"};
    createDataFolders(folder);
    std::vector<SentenceRow> rows{title("One")};
    for (int k = 0; k < kSentences; ++k)
        rows.push_back(sentence(sentenceText(k)));
    ASSERT_TRUE(writeAll(folder.dataFolder() + "Lesson.dat", encodeUnit(kNewUnitHeader, rows, false)));

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kChildFolder, folder.path);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(QStringLiteral("/proc/self/exe"),
                {QStringLiteral("--gtest_filter=StudyChild.StudiesUntilKilled")});
    ASSERT_TRUE(child.waitForStarted());
    // Killed well inside the run, after some answers were saved.
    int answered = 0;
    QByteArray seen;
    while (answered < 60 && child.state() == QProcess::Running) {
        child.waitForReadyRead(10000);
        seen += child.readAllStandardOutput();
        answered = int(seen.count("answered "));
    }
    ASSERT_GE(answered, 60) << seen.toStdString();
    child.kill(); // SIGKILL
    ASSERT_TRUE(child.waitForFinished());
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    // The record opens as it is, without being set aside.
    StudyRecord record;
    ASSERT_TRUE(record.open(folder, StudyRecord::Mode::Write, 0)) << record.error().toStdString();
    EXPECT_TRUE(record.notice().isEmpty()) << record.notice().toStdString();
    QHash<QString, int> counted;
    for (const auto& [text, count] : record.countedAnswers("Lesson"))
        counted.insert(text, count);

    const UnitReadResult unit = readUnitFile(folder.dataFolder() + "Lesson.dat", false, {});
    ASSERT_TRUE(unit.readWhole());
    int levelsInUnit = 0;
    int ahead = 0;
    for (const SentenceRow& row : unit.rows) {
        if (row[Kind] != u"1")
            continue;
        const int level = row[Level].toInt();
        levelsInUnit += level;
        const int inRecord = counted.value(row[Text]);
        // The answer is recorded when it is checked and the Unit saved right
        // after; a kill between the two leaves the record one answer ahead.
        if (inRecord == level + 1)
            ++ahead;
        else
            EXPECT_EQ(inRecord, level) << row[Text].toStdString();
    }
    EXPECT_LE(ahead, 1);
    EXPECT_GE(levelsInUnit, answered);
    // Each sentence had a wrong and a right answer; the next one's wrong
    // answer may be in as well.
    const int pairs = 2 * (levelsInUnit + ahead);
    EXPECT_TRUE(record.answerCount() == pairs || record.answerCount() == pairs + 1)
        << record.answerCount() << " answers for " << levelsInUnit << " levels";
}

} // namespace
