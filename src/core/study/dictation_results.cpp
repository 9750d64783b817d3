// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/dictation_results.h"

#include "core/study/number_text.h"

namespace dictora {

AnswerResult acceptAnswer(SentenceTable& table, int row, int hintLevel, TimeValue now,
                          TimeValue typingStart, StudyTotals& totals)
{
    if (!table.isValidRow(row))
        return {};
    if (hintLevel > kMaxCountedHintLevel) {
        const int32_t level = textToInt(table.field(row, Level));
        if (level <= 3)
            return {AnswerEffect::AskAgain, false};
        table.setField(row, Level, intText(level - 1));
        return {AnswerEffect::AskAgain, true};
    }
    if (table.field(row, Done) != QLatin1String("0"))
        return {};
    table.setField(row, Done, QStringLiteral("1"));
    table.setField(row, Level, intText(textToInt(table.field(row, Level)) + 1));
    table.setField(row, StudiedAt, FormatStamp(now));
    totals.studyChars += table.field(row, Text).size();
    totals.studySeconds += now - typingStart;
    return {AnswerEffect::Rested, true};
}

void clearRecord(SentenceTable& table)
{
    const QString zero = QStringLiteral("0");
    for (int r = 0; r < table.rowCount(); ++r) {
        table.setField(r, Done, zero);
        table.setField(r, Level, zero);
        table.setField(r, StudiedAt, kDefaultStampText);
    }
}

int acceptedHintLevel(bool givenAway)
{
    return givenAway ? kGivenAwayHintLevel : 0;
}

TimeValue typingStartAfterPause(TimeValue typingStart, TimeValue now)
{
    return now - typingStart > kLongTypingPauseSeconds ? now : typingStart;
}

} // namespace dictora
