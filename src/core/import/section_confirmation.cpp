// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/section_confirmation.h"

#include "core/import/section_media.h"
#include "core/study/number_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dictora {

MediaCopyOutcome copyIntoMediaFolder(const UnitMediaFolder& media, const QString& mediaPath)
{
    using Status = MediaCopyOutcome::Status;
    MediaCopyOutcome outcome;
    const QString mediaName = mediaPath.mid(mediaPath.lastIndexOf(u'/') + 1);
    outcome.destination = media.filePath(mediaName);
    if (!QFileInfo(media.path()).isDir() && !QDir().mkpath(media.path())) {
        outcome.status = Status::Failed;
        outcome.error = QStringLiteral("无法创建目录 ") + media.path();
        return outcome;
    }
    if (QFileInfo::exists(outcome.destination)) {
        outcome.status = Status::AlreadyThere;
        return outcome;
    }
    // QFile::copy writes a temporary file beside the target and renames it
    // only when every byte was written, and never replaces an existing file.
    QFile source(mediaPath);
    if (!source.copy(outcome.destination)) {
        outcome.status = Status::Failed;
        outcome.error = source.errorString();
        return outcome;
    }
    outcome.status = Status::Copied;
    return outcome;
}

bool asksContentChange(const SentenceTable& table, const SectionChoice& choice)
{
    if (!choice.textChosen || choice.textPath.isEmpty())
        return false;
    const int titleRow = sectionTitleRow(table, choice.targetRow);
    return titleRow >= 0 && table.isValidRow(titleRow + 1) && !table.isTitleRow(titleRow + 1);
}

SectionConfirmationOutcome confirmSection(SentenceTable& table, StudyState& state,
                                          const SectionConfirmation& confirmation,
                                          const UnitMediaFolder& media,
                                          ContentChangeQuestion& question)
{
    const SectionChoice& choice = confirmation.choice;
    SectionConfirmationOutcome outcome;
    int titleRow = sectionTitleRow(table, choice.targetRow);

    if (choice.textChosen) {
        TextImportRequest request;
        request.textPath = choice.textPath;
        request.mediaPath = choice.mediaChosen ? choice.mediaPath : QString();
        request.mediaLengthMs = confirmation.mediaLengthMs;
        request.targetRow = titleRow;
        request.tidy = confirmation.tidy;
        request.titleField = confirmation.titleText;
        request.preparedRows = confirmation.preparedRows;
        outcome.import = ImportTextFile(table, state, request, question);
        if (outcome.import.status == TextImportOutcome::Status::Cancelled)
            return outcome;
        // After an append the importer points at the Section's last old
        // sentence; the Section is still the one of that title row.
        titleRow = sectionTitleRow(table, outcome.import.targetRow);
    }

    if (choice.mediaChosen && !choice.mediaPath.isEmpty()) {
        titleRow = attachSectionMedia(table, titleRow, confirmation.titleText, choice.mediaPath,
                                      confirmation.mediaLengthMs);
        if (confirmation.copyChecked) {
            outcome.copy = copyIntoMediaFolder(media, choice.mediaPath);
            if (outcome.copy.inMediaFolder())
                table.setField(titleRow, MediaPath, QStringLiteral(".."));
        }
    }

    if (table.isValidRow(titleRow) && table.isTitleRow(titleRow)) {
        if (!choice.textChosen && !choice.mediaChosen) {
            table.setField(titleRow, SectionTitle, confirmation.titleText);
            table.setField(titleRow, MediaLengthMs, uintText(confirmation.mediaLengthMs));
        }
        if (!choice.typedTitle.isEmpty())
            table.setField(titleRow, SectionTitle, choice.typedTitle);
        copySectionFields(table, titleRow);
        outcome.titleRow = titleRow;
    }
    state.unitModified = true;
    return outcome;
}

} // namespace dictora
