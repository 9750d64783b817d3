// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/row_announcement.h"

#include "core/study/number_text.h"
#include "core/study/sentence_list_rules.h"

namespace dictora {

namespace {

QString learnedText(RowMarker marker)
{
    switch (marker) {
    case RowMarker::New:
        return QStringLiteral("未学");
    case RowMarker::LearnedBefore:
        return QStringLiteral("已学");
    case RowMarker::TodayWeak:
        return QStringLiteral("今天学过, 还不熟");
    case RowMarker::TodayStrong:
        return QStringLiteral("今天学过, 已熟");
    }
    return {};
}

} // namespace

QString rowAnnouncement(const SentenceRow& row, const RowAnnouncementContext& context)
{
    if (row[Kind] == u"0")
        return QStringLiteral("标题: ") + row[SectionTitle];
    QString text = context.current && context.dictationMode ? QStringLiteral("正在听写的句子")
                                                            : row[Text].trimmed();
    text += QStringLiteral(", ") + learnedText(rowMarker(row, context.today));
    if (context.editMode) {
        text += QStringLiteral(", %1 到 %2")
                    .arg(timePointText(textToUInt(row[StartMs])),
                         timePointText(textToUInt(row[EndMs])));
    }
    if (!context.review.isEmpty())
        text += QStringLiteral(", ") + context.review;
    return text;
}

} // namespace dictora
