// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/track_cues.h"

#include "core/import/markup_text.h"
#include "core/import/script_rule.h"

#include <algorithm>

namespace dictora {

namespace {

// The Text field of a Matroska ASS/SSA block: what follows the eighth comma.
// A block without eight commas is taken as text whole.
QStringView assTextField(QStringView block)
{
    qsizetype at = 0;
    for (int comma = 0; comma < 8; ++comma) {
        const qsizetype next = block.indexOf(u',', at);
        if (next < 0)
            return block;
        at = next + 1;
    }
    return block.mid(at);
}

uint32_t overlapMs(const ParsedRows::Timing& row, const SubtitleCue& cue)
{
    const uint32_t start = std::max(row.startMs, cue.startMs);
    const uint32_t end = std::min(row.endMs, cue.endMs);
    return end > start ? end - start : 0;
}

} // namespace

QString mendOcrLine(const QString& line)
{
    QString mended = line;
    for (qsizetype i = 0; i < mended.size(); ++i) {
        if (mended[i] != u'|')
            continue;
        const bool wordStart = i == 0 || !mended[i - 1].isLetterOrNumber();
        const bool wordEnd = i + 1 == mended.size() || !mended[i + 1].isLetterOrNumber();
        if (wordStart && wordEnd)
            mended[i] = u'I';
    }
    return mended;
}

QStringList cueLines(SubtitleCodec codec, const QString& payload)
{
    QStringList raw;
    if (codec == SubtitleCodec::Ass)
        raw = AssEventLines(assTextField(payload));
    else
        raw = payload.split(u'\n');
    QStringList lines;
    for (const QString& line : raw) {
        QString text = TidyText(line);
        if (!text.isEmpty())
            lines << std::move(text);
    }
    return lines;
}

ParsedRows rowsFromCues(const std::vector<SubtitleCue>& cues, SubtitleCodec codec,
                        const SentenceRow& blank)
{
    ParsedRows out;
    SubtitleLineSorter sorter(true);
    for (const SubtitleCue& cue : cues) {
        SentenceRow row = blank;
        for (const QString& line : cueLines(codec, cue.payload))
            sorter.place(line, row[Text], row[Text2]);
        if (row[Text].isEmpty() && row[Text2].isEmpty())
            continue;
        out.add(std::move(row), {cue.startMs, cue.endMs, true, false});
    }
    out.sortByTime();
    return out;
}

void pairSecondTrack(ParsedRows& rows, const std::vector<SubtitleCue>& cues, SubtitleCodec codec)
{
    const std::vector<ParsedRows::Timing>& timings = rows.timings;
    for (const SubtitleCue& cue : cues) {
        const QString text = cueLines(codec, cue.payload).join(u' ');
        if (text.isEmpty())
            continue;
        // Rows are in time order: the candidates start before the cue ends.
        const auto past = std::upper_bound(
            timings.begin(), timings.end(), cue.endMs,
            [](uint32_t end, const ParsedRows::Timing& t) { return end <= t.startMs; });
        size_t best = timings.size();
        uint32_t bestOverlap = 0;
        for (auto it = timings.begin(); it != past; ++it) {
            const uint32_t overlap = overlapMs(*it, cue);
            if (overlap > bestOverlap) {
                bestOverlap = overlap;
                best = size_t(it - timings.begin());
            }
        }
        if (best == timings.size())
            continue;
        // As the subtitle line rule places lines: each after a blank.
        QString& text2 = rows.rows[best][Text2];
        text2 += u' ';
        text2 += text;
    }
}

} // namespace dictora
