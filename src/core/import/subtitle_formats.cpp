// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/subtitle_formats.h"

#include "core/import/markup_text.h"
#include "core/import/script_rule.h"
#include "core/import/text_line_source.h"
#include "core/import/time_point.h"

#include <QStringList>

namespace dictora {

namespace {

// A block that begins with `word` alone or followed by white space.
bool startsWithWord(const QString& line, QLatin1String word)
{
    return line.startsWith(word) && (line.size() == word.size() || line[word.size()].isSpace());
}

// Places the lines of one cue or event and adds the row when any text is left.
void addCue(const QStringList& lines, uint32_t startMs, uint32_t endMs, const SentenceRow& blank,
            SubtitleLineSorter& sorter, ParsedRows& out)
{
    SentenceRow row = blank;
    for (const QString& line : lines) {
        const QString text = TidyText(line);
        if (!text.isEmpty())
            sorter.place(text, row[Text], row[Text2]);
    }
    if (!row[Text].isEmpty() || !row[Text2].isEmpty())
        out.add(std::move(row), {startMs, endMs, true, false});
}

void webVttBlock(const QStringList& block, bool first, const SentenceRow& blank,
                 SubtitleLineSorter& sorter, ParsedRows& out)
{
    if (block.isEmpty())
        return;
    const QString& head = block.first();
    if ((first && startsWithWord(head, QLatin1String("WEBVTT"))) ||
        startsWithWord(head, QLatin1String("NOTE")) ||
        startsWithWord(head, QLatin1String("STYLE")) ||
        startsWithWord(head, QLatin1String("REGION")))
        return;
    // The time line is the first line, or the second after a cue identifier.
    qsizetype timeLine = -1;
    for (qsizetype i = 0; i < std::min<qsizetype>(2, block.size()) && timeLine < 0; ++i) {
        if (block[i].contains(QLatin1String("-->")))
            timeLine = i;
    }
    if (timeLine < 0)
        return;
    const QString& times = block[timeLine];
    const qsizetype arrow = times.indexOf(QLatin1String("-->"));
    const QStringView end = TimeLineEnd(QStringView(times).mid(arrow + 3));
    addCue(block.mid(timeLine + 1), ParseTimePoint(QStringView(times).left(arrow)),
           ParseTimePoint(end), blank, sorter, out);
}

// Splits a Dialogue line's fields: `count` columns, the last taking the rest.
QList<QStringView> assFields(QStringView rest, qsizetype count)
{
    QList<QStringView> fields;
    while (fields.size() + 1 < count) {
        const qsizetype comma = rest.indexOf(u',');
        if (comma < 0)
            break;
        fields << rest.left(comma);
        rest = rest.mid(comma + 1);
    }
    fields << rest;
    return fields;
}

} // namespace

void parseWebVtt(TextLineSource& source, const SentenceRow& blank, bool tidy, ParsedRows& out)
{
    SubtitleLineSorter sorter(tidy);
    QStringList block;
    bool first = true;
    QString line;
    while (!out.overflowed && source.next(line)) {
        if (!line.isEmpty()) {
            block << line;
            continue;
        }
        webVttBlock(block, first, blank, sorter, out);
        if (!block.isEmpty())
            first = false;
        block.clear();
    }
    webVttBlock(block, first, blank, sorter, out);
}

void parseAss(TextLineSource& source, const SentenceRow& blank, bool tidy, ParsedRows& out)
{
    SubtitleLineSorter sorter(tidy);
    // The columns of ASS and SSA alike when no Format line says otherwise:
    // Layer (Marked), Start, End, Style, Name, MarginL, MarginR, MarginV,
    // Effect, Text.
    qsizetype startColumn = 1;
    qsizetype endColumn = 2;
    qsizetype textColumn = 9;
    qsizetype columns = 10;
    bool inEvents = false;
    QString line;
    while (!out.overflowed && source.next(line)) {
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            inEvents = line.compare(QLatin1String("[Events]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inEvents)
            continue;
        if (line.startsWith(QLatin1String("Format:"), Qt::CaseInsensitive)) {
            const QStringList names = line.mid(7).split(u',');
            qsizetype start = -1, end = -1, text = -1;
            for (qsizetype i = 0; i < names.size(); ++i) {
                const QString name = names[i].trimmed().toLower();
                if (name == QLatin1String("start"))
                    start = i;
                else if (name == QLatin1String("end"))
                    end = i;
                else if (name == QLatin1String("text"))
                    text = i;
            }
            if (start >= 0 && end >= 0 && text >= 0) {
                startColumn = start;
                endColumn = end;
                textColumn = text;
                columns = names.size();
            }
            continue;
        }
        if (!line.startsWith(QLatin1String("Dialogue:"), Qt::CaseInsensitive))
            continue; // Comment:, Picture:, Sound: and the like give no row
        const QList<QStringView> fields = assFields(QStringView(line).mid(9), columns);
        if (fields.size() <= std::max({startColumn, endColumn, textColumn}))
            continue;
        addCue(AssEventLines(fields[textColumn]), ParseTimePoint(fields[startColumn].trimmed()),
               ParseTimePoint(fields[endColumn].trimmed()), blank, sorter, out);
    }
    out.sortByTime();
}

} // namespace dictora
