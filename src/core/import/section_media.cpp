// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/section_media.h"

#include "core/import/text_import.h"
#include "core/study/number_text.h"
#include "core/study/study_state.h"

#include <QFileInfo>

namespace dictora {

bool isPlaceholderTitle(const QString& title)
{
    return title.isEmpty() || title == QStringLiteral("标题");
}

int sectionTitleRow(const SentenceTable& table, int row)
{
    if (!table.isValidRow(row))
        return kNone;
    while (row >= 0 && !table.isTitleRow(row))
        --row;
    return row >= 0 ? row : kNone;
}

QString mediaBaseName(const QString& mediaPath)
{
    return QFileInfo(mediaPath).completeBaseName();
}

int attachSectionMedia(SentenceTable& table, int titleRow, const QString& title,
                       const QString& mediaPath, uint32_t mediaLengthMs)
{
    const QString chosenTitle = isPlaceholderTitle(title) ? mediaBaseName(mediaPath) : title;
    if (titleRow < 0) {
        SentenceRow row = makeImportedRow(chosenTitle, mediaPath, mediaLengthMs);
        row[Kind] = QStringLiteral("0");
        table.appendRow(std::move(row));
        return table.rowCount() - 1;
    }
    if (isPlaceholderTitle(table.field(titleRow, SectionTitle)))
        table.setField(titleRow, SectionTitle, chosenTitle);
    const SentenceRow named = makeImportedRow({}, mediaPath, mediaLengthMs);
    for (const int field : {MediaPath, MediaName, MediaLengthMs})
        table.setField(titleRow, field, named[size_t(field)]);
    return titleRow;
}

void copySectionFields(SentenceTable& table, int titleRow)
{
    for (int row = titleRow + 1; table.isValidRow(row) && !table.isTitleRow(row); ++row) {
        for (const int field : {SectionTitle, MediaPath, MediaName, MediaLengthMs})
            table.setField(row, field, table.field(titleRow, field));
    }
}

} // namespace dictora
