// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/text_import.h"

#include "core/import/content_change_question.h"
#include "core/import/content_files.h"
#include "core/import/media_signature.h"
#include "core/import/text_decoding.h"
#include "core/import/text_parser.h"
#include "core/study/number_text.h"
#include "core/study/stamp.h"
#include "core/study/unit_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace dictora {

namespace {

// The size of the open Unit's file once `added` (and a new title row, when
// given) is in and `removeCount` rows from `removeFrom` are out.
qint64 unitSizeAfter(const SentenceTable& table, bool isNotebook,
                     const std::vector<SentenceRow>& added, const SentenceRow* newTitle,
                     int removeFrom, int removeCount)
{
    qint64 size = encodedUnitSize(table.rows(), isNotebook);
    for (int r = removeFrom; r < removeFrom + removeCount; ++r)
        size -= encodedRecordSize(table.row(r), isNotebook);
    for (const SentenceRow& row : added)
        size += encodedRecordSize(row, isNotebook);
    if (newTitle)
        size += encodedRecordSize(*newTitle, isNotebook);
    return size;
}

int sentencesAfter(const SentenceTable& table, int titleRow)
{
    int count = 0;
    while (table.isValidRow(titleRow + 1 + count) && !table.isTitleRow(titleRow + 1 + count))
        ++count;
    return count;
}

} // namespace

SentenceRow makeImportedRow(const QString& baseName, const QString& mediaPath,
                            uint32_t mediaLengthMs)
{
    SentenceRow row;
    row[Kind] = QStringLiteral("1");
    row[StartMs] = row[EndMs] = QStringLiteral("0");
    row[Done] = row[Level] = QStringLiteral("0");
    row[StudiedAt] = kDefaultStampText;
    row[SectionTitle] = baseName;
    row[MediaPath] = mediaPath;
    row[MediaName] = mediaPath.mid(mediaPath.lastIndexOf(u'/') + 1);
    row[MediaLengthMs] = uintText(mediaLengthMs);
    return row;
}

QString bigEndianRefusal(const QString& baseName)
{
    return QStringLiteral("请将文本 ") + baseName + QStringLiteral(" 保存为Unicode编码再导入.");
}

QString tooLargeRefusal(const QString& baseName)
{
    return QStringLiteral("文本 ") + baseName + QStringLiteral(" 超过 64 MB, 不能导入.");
}

QString unitTooLargeRefusal(const QString& baseName)
{
    return QStringLiteral("导入文本 ") + baseName +
           QStringLiteral(" 后单元文件将超过 64 MB, 无法再打开, 不能导入.");
}

size_t sentenceLimit(qint64 fileSize)
{
    return std::max<size_t>(100000, size_t(std::max<qint64>(fileSize, 0) / 90));
}

QString tooManySentencesRefusal(const QString& baseName, size_t limit)
{
    return QStringLiteral("文本 %1 的句子多于 %2 句, 不能导入.").arg(baseName).arg(limit);
}

QString unreadableTextMessage(const QString& textPath)
{
    // A file handed over or chosen a while ago may be gone by the time the
    // import reads it.
    if (!QFileInfo::exists(textPath))
        return QStringLiteral("不能读取文本 %1: 文件不存在.").arg(textPath);
    return QStringLiteral("不能读取文本 %1.").arg(textPath);
}

TextImportOutcome CheckTextFile(const QString& textPath)
{
    using Status = TextImportOutcome::Status;
    TextImportOutcome outcome;
    const QFileInfo info(textPath);
    QFile file(textPath);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        outcome.status = Status::Unreadable;
        outcome.message = unreadableTextMessage(textPath);
        return outcome;
    }
    const QString baseName = info.completeBaseName();
    // A film or a song read line by line would fill the Section with rows of
    // binary bytes: by its name or by its first bytes, it is never text.
    if (IsMediaFile(textPath) || looksLikeMedia(file.read(kMediaSignatureBytes))) {
        outcome.status = Status::Refused;
        outcome.message = mediaAsTextRefusal(baseName);
    } else if (file.size() > kTextFileSizeLimit) {
        outcome.status = Status::Refused;
        outcome.message = tooLargeRefusal(baseName);
    } else if (DetectTextEncoding(textPath) == kEncodingUnicodeBig) {
        outcome.status = Status::Refused;
        outcome.message = bigEndianRefusal(baseName);
    } else {
        outcome.status = Status::Imported;
    }
    return outcome;
}

TextImportOutcome ReadTextRows(const TextImportRequest& request, std::vector<SentenceRow>& rows,
                               QString& sectionTitle)
{
    using Status = TextImportOutcome::Status;
    TextImportOutcome outcome;
    outcome.targetRow = request.targetRow;
    if (request.textPath.isEmpty())
        return outcome;
    const TextImportOutcome check = CheckTextFile(request.textPath);
    if (check.status != Status::Imported) {
        outcome.status = check.status;
        outcome.message = check.message;
        return outcome;
    }
    const QString baseName = QFileInfo(request.textPath).completeBaseName();
    const QString label = DetectTextEncoding(request.textPath);
    QFile file(request.textPath);
    if (!file.open(QIODevice::ReadOnly)) {
        outcome.status = Status::Unreadable;
        outcome.message = unreadableTextMessage(request.textPath);
        return outcome;
    }
    TextParseOptions options;
    options.format = textFormatOf(request.textPath);
    options.tidy = request.tidy;
    options.maxRows = sentenceLimit(file.size());
    if (label == kEncodingAnsi) {
        outcome.codePage = DetectAnsiCodePage(request.textPath);
        options.codePage = outcome.codePage.codePage;
    }
    const SentenceRow blank = makeImportedRow(baseName, request.mediaPath, request.mediaLengthMs);
    ParsedText parsed = parseText(file, label, blank, options);
    file.close();
    if (parsed.tooManyRows) {
        outcome.status = Status::Refused;
        outcome.message = tooManySentencesRefusal(baseName, options.maxRows);
        return outcome;
    }
    rows = std::move(parsed.rows);
    sectionTitle = baseName;
    if (!parsed.title.isEmpty() &&
        (request.titleField.isEmpty() || request.titleField == baseName)) {
        sectionTitle = parsed.title;
        for (SentenceRow& row : rows)
            row[SectionTitle] = sectionTitle;
    }
    outcome.status = Status::Imported;
    outcome.rowsAdded = int(rows.size());
    return outcome;
}

TextImportOutcome ImportTextFile(SentenceTable& table, StudyState& state,
                                 const TextImportRequest& request, ContentChangeQuestion& question)
{
    using Status = TextImportOutcome::Status;
    TextImportOutcome outcome;
    outcome.targetRow = request.targetRow;
    if (request.textPath.isEmpty())
        return outcome;
    int target = request.targetRow;
    if (target >= 0 && !(table.isValidRow(target) && table.isTitleRow(target))) {
        outcome.status = Status::InvalidTarget;
        return outcome;
    }

    // The whole file is decoded before the Section is touched: a refused or
    // unreadable file must not leave a Section whose sentences were replaced
    // by nothing. Rows prepared by the caller (timed by aligning the text
    // with its recording) stand in for the file's own.
    std::vector<SentenceRow> rows;
    QString sectionTitle;
    if (request.preparedRows) {
        rows = *request.preparedRows;
        sectionTitle = rows.empty() ? QFileInfo(request.textPath).completeBaseName()
                                    : rows.front()[SectionTitle];
        outcome.codePage = request.preparedCodePage;
    } else {
        const TextImportOutcome read = ReadTextRows(request, rows, sectionTitle);
        if (read.status != Status::Imported)
            return read;
        outcome.codePage = read.codePage;
    }
    SentenceRow blank = makeImportedRow(sectionTitle, request.mediaPath, request.mediaLengthMs);

    // The Unit's file must stay one the reader takes: an import that would
    // pass its limit is refused before the table changes.
    const auto refuseTooLarge = [&] {
        outcome.status = Status::Refused;
        outcome.message = unitTooLargeRefusal(QFileInfo(request.textPath).completeBaseName());
        return outcome;
    };
    if (target < 0) {
        SentenceRow title = blank;
        title[Kind] = QStringLiteral("0");
        if (unitSizeAfter(table, state.isNotebook, rows, &title, 0, 0) > kUnitFileSizeLimit)
            return refuseTooLarge();
        target = table.rowCount();
        table.appendRow(std::move(title));
        state.unitModified = true;
    } else {
        // The Section is asked about before anything of it changes: a
        // cancelled question leaves its title and rows as they were.
        const int oldSentences = sentencesAfter(table, target);
        ContentChangeChoice choice = ContentChangeChoice::Append;
        if (oldSentences > 0) {
            choice = question.ask();
            if (choice == ContentChangeChoice::Cancel) {
                outcome.status = Status::Cancelled;
                return outcome;
            }
        }
        const QString oldTitle = table.field(target, SectionTitle);
        table.setField(target, SectionTitle, sectionTitle);
        const bool replace = choice == ContentChangeChoice::Replace;
        if (unitSizeAfter(table, state.isNotebook, rows, nullptr, target + 1,
                          replace ? oldSentences : 0) > kUnitFileSizeLimit) {
            table.setField(target, SectionTitle, oldTitle);
            return refuseTooLarge();
        }
        if (oldTitle != sectionTitle)
            state.unitModified = true;
        if (replace && oldSentences > 0) {
            table.removeRows(target + 1, oldSentences);
            state.unitModified = true;
        } else {
            target += oldSentences;
        }
    }

    outcome.status = Status::Imported;
    outcome.targetRow = target;
    outcome.rowsAdded = int(rows.size());
    if (!rows.empty()) {
        table.insertRows(target + 1, std::move(rows));
        state.unitModified = true;
    }
    return outcome;
}

} // namespace dictora
