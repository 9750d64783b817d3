// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli show: a Unit as loading it today would present it.
#include "cli/cli_command.h"
#include "cli/study_context.h"

#include "core/study/progress_pass.h"
#include "core/study/review_mark_file.h"
#include "core/study/unit_file.h"
#include "core/study/unit_names.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

namespace dictora::cli {

namespace {

QJsonArray rowsJson(const SentenceTable& table)
{
    QJsonArray rows;
    for (const SentenceRow& row : table.rows()) {
        QJsonArray fields;
        for (const QString& field : row)
            fields.append(field);
        rows.append(fields);
    }
    return rows;
}

// The rows that wait for the learner's look, by the marks beside the Unit
// file; a marks file that cannot be read marks none.
QJsonArray reviewJson(const QString& unitPath, const SentenceTable& table)
{
    QJsonArray review;
    QFile file(reviewMarksPath(unitPath));
    if (!file.open(QIODevice::ReadOnly))
        return review;
    const auto marks = decodeReviewMarks(file.read(16 * 1024 * 1024));
    if (!marks)
        return review;
    const auto reasons = matchReviewMarks(table.rows(), *marks);
    for (size_t r = 0; r < reasons.size(); ++r)
        if (reasons[r])
            review.append(QJsonObject{{"row", int(r)},
                                      {"reason", reviewReasonWord(*reasons[r])},
                                      {"note", reviewReasonText(*reasons[r])}});
    return review;
}

int runShow(QStringList args)
{
    const bool save = takeFlag(args, QStringLiteral("--save"));
    bool isNotebook = takeFlag(args, QStringLiteral("--notebook"));
    QString path = takeOption(args, QStringLiteral("--file"));
    const bool byName = path.isEmpty();
    ProgramFolder folder;
    if (byName)
        folder = takeProgramFolder(args);
    else
        takeOption(args, QStringLiteral("--home")); // a file path needs no program folder
    const TimeValue now = takeNow(args);
    if (byName) {
        if (args.size() != 1)
            throw UsageError{QStringLiteral("wants one Unit name or --file PATH")};
        const QString name = args.takeFirst();
        if (!isAcceptableUnitName(name))
            throw UsageError{unitNameMessage()};
        path = folder.dataFolder() + unitFileName(name);
        isNotebook = name == kNotebookName;
    }
    expectNoMoreArguments(args);
    if (!QFileInfo(path).isFile())
        throw UsageError{QStringLiteral("no Unit file %1").arg(path)};

    UnitReadResult read = readUnitFile(path, isNotebook, dailyReviewAsOf(now));
    if (!read.opened)
        throw UsageError{QStringLiteral("cannot read %1: %2").arg(path, read.openError)};
    if (read.tooLarge)
        throw UsageError{unitTooLargeMessage(path)};
    // Only a file under the format mark is a Unit: anything else would show
    // as a made-up empty Unit, and --save would write one over the file.
    if (!read.markMatches)
        throw UsageError{
            QStringLiteral("%1 is not a Unit file (it does not begin with the Unit format mark); "
                           "nothing was written")
                .arg(path)};
    // A damaged file is shown as far as it reads, but written back only by
    // the unit library, which keeps its original in Backup/ first.
    if (save && !read.readWhole())
        throw UsageError{
            QStringLiteral("%1 is damaged after byte %2 (%3 complete rows); it is "
                           "not saved here: dictora-cli units keeps a copy of it in "
                           "Backup/ and then saves the rows read")
                .arg(path, QString::number(read.recordsEnd), QString::number(read.rows.size()))};
    const UnitHeader header = loadedHeader(read, isNotebook);
    SentenceTable table;
    table.replaceAll(std::move(read.rows));
    const ProgressFigures figures = runProgressPass(table, header, isNotebook, now, {});
    if (save) {
        // Older 8-bit strings take twice the bytes when written again: a file
        // the reader would then refuse is not written.
        if (encodedUnitSize(table.rows(), isNotebook) > kUnitFileSizeLimit) {
            printError(QStringLiteral("dictora-cli show: ") + unitWouldBeTooLargeMessage(path));
            return 1;
        }
        const WriteOutcome written =
            writeFileAtomically(path, encodeUnit(header, table.rows(), isNotebook), true);
        if (!written.ok) {
            printError(QStringLiteral("dictora-cli show: ") + written.error);
            return 1;
        }
    }
    QJsonObject shown{{"reviewFrequency", header.reviewFrequency},
                      {"newPerDay", double(header.newPerDay)},
                      {"newPerDayUnit", header.newPerDayUnit},
                      {"rows", rowsJson(table)},
                      {"unitPercentText", figures.texts.unitPercentText},
                      {"progressLine", figures.texts.progressLine},
                      {"estimateText", figures.texts.estimateText}};
    // Only a Unit with rows waiting for a look says so.
    if (const QJsonArray review = reviewJson(path, table); !review.isEmpty())
        shown.insert(QStringLiteral("review"), review);
    printJson(shown);
    return 0;
}

const CommandRegistration registration{
    {QStringLiteral("show"),
     QStringLiteral("show NAME | --file PATH [--notebook]  [--now YYYYmmddHHMMSS] [--save]   "
                    "a Unit as loaded today"),
     runShow}};

} // namespace

} // namespace dictora::cli
