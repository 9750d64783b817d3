// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli import: a lyric, subtitle or text file into a Section of a
// Unit, as confirming the add-content dialog with that file chosen would do,
// then the Unit is saved.
#include "cli/cli_command.h"
#include "cli/study_context.h"

#include "core/import/content_change_question.h"
#include "core/import/content_files.h"
#include "core/import/media_signature.h"
#include "core/import/section_media.h"
#include "core/import/text_import.h"
#include "core/study/unit_names.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <limits>

namespace dictora::cli {

namespace {

// The answer given on the command line; without one, a Section that has
// sentences is never changed.
class AnswerFromOptions : public ContentChangeQuestion {
public:
    explicit AnswerFromOptions(ContentChangeChoice choice) : choice_(choice) {}
    ContentChangeChoice ask() override { return choice_; }

private:
    ContentChangeChoice choice_;
};

// "H:M:S" as the dialog's three length fields: each a decimal number, an
// empty one 0.
uint32_t parseLength(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d*):(\\d*):(\\d*)$"));
    const QRegularExpressionMatch match = form.match(text);
    const auto bad = [&] {
        return UsageError{QStringLiteral("--length wants H:M:S, not '%1'").arg(text)};
    };
    if (!match.hasMatch())
        throw bad();
    uint64_t seconds = 0;
    const uint64_t scale[] = {3600, 60, 1};
    for (int i = 0; i < 3; ++i) {
        const QString field = match.captured(i + 1);
        if (field.size() > 9)
            throw bad();
        seconds += field.toULongLong() * scale[i];
    }
    if (seconds * 1000 > std::numeric_limits<uint32_t>::max())
        throw bad();
    return uint32_t(seconds * 1000);
}

int runImport(QStringList args)
{
    ProgramFolder folder = takeProgramFolder(args);
    const TimeValue now = takeNow(args);
    const QString unitName = takeOption(args, QStringLiteral("--unit"));
    const QString section = takeOption(args, QStringLiteral("--section"));
    const bool replace = takeFlag(args, QStringLiteral("--replace"));
    const bool append = takeFlag(args, QStringLiteral("--append"));
    const QString mediaOption = takeOption(args, QStringLiteral("--media"));
    const QString length = takeOption(args, QStringLiteral("--length"));
    const bool tidy = takeFlag(args, QStringLiteral("--tidy"));
    const bool align = takeFlag(args, QStringLiteral("--align"));
    const QString language = takeOption(args, QStringLiteral("--language"));
    const bool partial = takeFlag(args, QStringLiteral("--partial"));
    const QString trackOption = takeOption(args, QStringLiteral("--track"));
    const QString secondTrackOption = takeOption(args, QStringLiteral("--second-track"));
    if (args.size() != 1)
        throw UsageError{QStringLiteral("wants one text file")};
    const QString textPath = QFileInfo(args.first()).absoluteFilePath();
    // A film is read by its subtitle tracks; other media files are refused
    // as text files are checked below. Neither is ever read as lines.
    bool film = false;
    if (QFile file(textPath); file.open(QIODevice::ReadOnly))
        film = containerOf(file.read(kMediaSignatureBytes)) != MediaContainer::Other;
    if (!film && !(trackOption.isEmpty() && secondTrackOption.isEmpty()))
        throw UsageError{QStringLiteral("--track and --second-track are for a video")};
    if (film && (!mediaOption.isEmpty() || align || tidy))
        throw UsageError{QStringLiteral("a video brings its own media and subtitle tracks: "
                                        "--media, --align and --tidy are for text files")};
    if (unitName.isEmpty())
        throw UsageError{QStringLiteral("--unit NAME is needed")};
    if (replace && append)
        throw UsageError{QStringLiteral("--replace and --append exclude each other")};
    if (align && mediaOption.isEmpty())
        throw UsageError{QStringLiteral("--align needs --media MEDIAFILE")};
    if (!language.isEmpty() && !align)
        throw UsageError{QStringLiteral("--language is for --align")};
    if (partial && !align)
        throw UsageError{QStringLiteral("--partial is for --align")};
    if (align && !textAligner())
        throw UsageError{QStringLiteral("this dictora-cli is built without media support")};
    if (unitName == kNotebookName)
        throw UsageError{QStringLiteral("the Sentence Notebook takes sentences from Units only")};
    if (!isAcceptableUnitName(unitName))
        throw UsageError{unitNameMessage()};
    // A file the import would refuse changes nothing: no Unit is created, no
    // media attached, nothing saved.
    const TextImportOutcome check = CheckTextFile(textPath);
    if (check.status == TextImportOutcome::Status::Unreadable)
        throw UsageError{QStringLiteral("cannot read %1").arg(args.first())};
    if (check.status == TextImportOutcome::Status::Refused && !(film && filmRowsReader())) {
        printError(QStringLiteral("dictora-cli import: ") + check.message);
        return 1;
    }

    TextImportRequest request;
    request.textPath = textPath;
    if (!mediaOption.isEmpty())
        request.mediaPath = QFileInfo(mediaOption).absoluteFilePath();
    request.mediaLengthMs = length.isEmpty() ? 0 : parseLength(length);
    request.tidy = tidy;
    // Aligned rows, and a film's subtitle rows, are made before the Unit is
    // opened: rows that cannot be made leave every Unit as it was.
    std::vector<SentenceRow> alignedRows;
    bool fromPictures = false;
    if (film) {
        request.mediaPath = textPath;
        FilmTracksRequest tracks;
        tracks.path = textPath;
        // The learner's target language is that of the Unit's sentences.
        tracks.targetLanguage = unitLanguage(folder, unitName);
        if (!trackOption.isEmpty())
            tracks.track = parseIndex(trackOption, QStringLiteral("--track"));
        if (!secondTrackOption.isEmpty())
            tracks.secondTrack = parseIndex(secondTrackOption, QStringLiteral("--second-track"));
        const SentenceRow blank = makeImportedRow(QFileInfo(textPath).completeBaseName(),
                                                  request.mediaPath, request.mediaLengthMs);
        QString message;
        if (!filmRowsReader()(tracks, blank, alignedRows, fromPictures, message)) {
            printError(QStringLiteral("dictora-cli import: ") + message);
            return 1;
        }
        request.preparedRows = &alignedRows;
    }
    if (align) {
        if (!QFileInfo(request.mediaPath).isFile())
            throw UsageError{QStringLiteral("cannot read %1").arg(mediaOption)};
        QString message;
        if (!textAligner()(request, language, partial, alignedRows, message)) {
            printError(QStringLiteral("dictora-cli import: ") + message);
            return 1;
        }
        request.preparedRows = &alignedRows;
    }

    StudyContext context(std::move(folder), now);
    UnitLibrary& library = context.library;
    library.listDataFolder();
    const bool newUnit = library.positionOf(unitName) < 0;
    if (!newUnit)
        openListedUnit(context, unitName);
    // A new Unit gets its rows in memory first and its file only once the
    // text is in, so a refused text leaves no Unit behind.
    SentenceTable fresh;
    if (newUnit)
        fresh.appendRow(newUnitTitleRow());
    SentenceTable& importTable = newUnit ? fresh : context.table;

    if (!section.isEmpty()) {
        request.targetRow = parseIndex(section, QStringLiteral("--section"));
        if (!importTable.isValidRow(request.targetRow) ||
            !importTable.isTitleRow(request.targetRow))
            throw UsageError{
                QStringLiteral("row %1 of %2 is not a Section title row").arg(section, unitName)};
        const bool hasSentences = importTable.isValidRow(request.targetRow + 1) &&
                                  !importTable.isTitleRow(request.targetRow + 1);
        if (hasSentences && !replace && !append)
            throw UsageError{QStringLiteral("Section '%1' (row %2) has sentences: choose "
                                            "--replace or --append")
                                 .arg(importTable.field(request.targetRow, SectionTitle), section)};
    }

    AnswerFromOptions answer(replace  ? ContentChangeChoice::Replace
                             : append ? ContentChangeChoice::Append
                                      : ContentChangeChoice::Cancel);
    const TextImportOutcome outcome = ImportTextFile(importTable, context.state, request, answer);
    if (outcome.status != TextImportOutcome::Status::Imported) {
        // Refused (too many sentences, or the file changed since the check):
        // the Unit stays as it was, and no media is attached.
        printError(QStringLiteral("dictora-cli import: ") +
                   (outcome.message.isEmpty() ? QStringLiteral("cannot read %1").arg(args.first())
                                              : outcome.message));
        return 1;
    }
    if (newUnit) {
        const UnitResult created = library.createUnit(unitName);
        if (!created.ok)
            throw UsageError{created.message};
        context.table.replaceAll(fresh.rows());
        fresh.clear();
    }
    SentenceTable& table = context.table;
    // Text read from pictures waits for the learner's look in Edit mode.
    const int rowsToReview =
        fromPictures ? library.reviewMarks().markImported(
                           outcome.targetRow + 1, alignedRows,
                           std::vector<std::optional<ReviewReason>>(alignedRows.size(),
                                                                    ReviewReason::ReadFromPicture))
                     : 0;
    int titleRow = sectionTitleRow(table, outcome.targetRow);
    // The media belongs to the whole Section: after the append answer it goes
    // to the title row, not to the last old sentence the import stopped on.
    if (!request.mediaPath.isEmpty())
        titleRow = attachSectionMedia(table, titleRow, QFileInfo(textPath).completeBaseName(),
                                      request.mediaPath, request.mediaLengthMs);
    if (titleRow >= 0)
        copySectionFields(table, titleRow);
    context.state.unitModified = true;
    const bool saved = library.SaveUnit();

    if (!saved) {
        printError(QStringLiteral("dictora-cli import: ") + library.lastError());
        return 1;
    }
    printJson({{"unit", unitName},
               {"path", library.unitFilePath()},
               {"sectionRow", titleRow},
               {"sectionTitle", table.field(titleRow, SectionTitle)},
               {"rowsAdded", outcome.rowsAdded},
               {"rowsToReview", rowsToReview},
               {"codePage", QString::fromLatin1(outcome.codePage.codePage)},
               {"rows", table.rowCount()}});
    return 0;
}

const CommandRegistration registration{
    {QStringLiteral("import"),
     QStringLiteral(
         "import TEXTFILE|VIDEO --unit NAME [--section ROW] [--replace|--append] "
         "[--media PATH [--align [--language VOICE] [--partial]]] [--length H:M:S] [--tidy] "
         "[--track N [--second-track M]]   import a text file into a Section (--tidy: strip "
         "tags, one sentence per lyric time, languages by script; --align: time the sentences "
         "by the media's speech, refused unless every sentence is found; --partial: import only "
         "those found), or the subtitle track N of a video (M fills the prompt line; see tracks)"),
     runImport}};

} // namespace

} // namespace dictora::cli
