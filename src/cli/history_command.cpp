// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli history: the study record's per-day figures and most-missed
// words, or every answer as CSV.
#include "cli/cli_command.h"
#include "cli/study_context.h"

#include "core/history/history_window_data.h"
#include "core/history/study_record.h"
#include "core/study/file_replacement.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

namespace dictora::cli {

namespace {

QJsonObject dayJson(const DayFigures& day)
{
    return {{"day", day.day},
            {"sentences", day.sentences},
            {"characters", day.characters},
            {"minutes", double(day.seconds) / 60.0},
            {"firstTries", day.firstTries},
            {"firstTryRight", day.firstTryRight},
            {"firstTryAccuracy", day.firstTryAccuracy()}};
}

QJsonObject wordJson(const MissedWord& word)
{
    QJsonArray sentences;
    for (const MissedSentence& s : word.sentences)
        sentences.append(QJsonObject{{"unit", s.unit}, {"section", s.section}, {"sentence", s.sentence}});
    return {{"word", word.word}, {"count", word.count}, {"sentences", sentences}};
}

int runHistory(QStringList args)
{
    const QString days = takeOption(args, QStringLiteral("--days"), QStringLiteral("30"));
    const QString csvPath = takeOption(args, QStringLiteral("--csv"));
    const bool force = takeFlag(args, QStringLiteral("--force"));
    const ProgramFolder folder = programFolderFor(takeOption(args, QStringLiteral("--home")));
    const TimeValue now = takeNow(args);
    expectNoMoreArguments(args);
    const int dayCount = parseIndex(days, QStringLiteral("--days"));
    if (dayCount < 1 || dayCount > kLongestHistoryDays)
        throw UsageError{QStringLiteral("--days must be from 1 to %1").arg(kLongestHistoryDays)};

    StudyRecord record;
    if (!record.open(folder, StudyRecord::Mode::Read, now)) {
        printError(QStringLiteral("dictora-cli history: ") + record.error());
        return 1;
    }
    if (!csvPath.isEmpty()) {
        if (QFileInfo::exists(csvPath) && !force) {
            printError(QStringLiteral("dictora-cli history: %1 exists already; nothing was written "
                                      "(--force replaces it)")
                           .arg(QDir::toNativeSeparators(csvPath)));
            return 1;
        }
        const WriteOutcome written = writeFileAtomically(csvPath, record.csv());
        if (!written.ok) {
            printError(QStringLiteral("dictora-cli history: ") + written.error);
            return 1;
        }
        printJson({{"csv", QFileInfo(csvPath).absoluteFilePath()}, {"answers", record.answerCount()}});
        return 0;
    }
    const HistoryWindowData data = readHistory(record, now, dayCount);
    QJsonArray dayList;
    for (const DayFigures& day : data.days)
        dayList.append(dayJson(day));
    QJsonArray words;
    for (const MissedWord& word : data.missedWords)
        words.append(wordJson(word));
    printJson({{"firstDay", data.firstDay}, {"lastDay", data.lastDay}, {"days", dayList}, {"missedWords", words}});
    return 0;
}

const CommandRegistration registration{
    {QStringLiteral("history"),
     QStringLiteral("history [--days N] | --csv FILE [--force]   the study record: per-day figures "
                    "of the last N days (30) and the 30 most-missed words as JSON, or every answer "
                    "as CSV"),
     runHistory}};

} // namespace

} // namespace dictora::cli
