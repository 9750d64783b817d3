// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/text_parser.h"

#include "core/import/markup_text.h"
#include "core/import/parsed_rows.h"
#include "core/import/script_rule.h"
#include "core/import/subtitle_formats.h"
#include "core/import/text_line_source.h"
#include "core/import/time_point.h"

#include <QFileInfo>

namespace dictora {

namespace {

using Timing = ParsedRows::Timing;

// A subtitle time line: "-->" between two time points; whatever follows the
// second one (WebVTT settings, SRT coordinates) is not looked at.
bool isTimeLine(QStringView line, uint32_t& startMs, uint32_t& endMs)
{
    const qsizetype arrow = line.indexOf(QLatin1String("-->"));
    if (arrow < 0)
        return false;
    const QStringView left = line.left(arrow).trimmed();
    const QStringView right = TimeLineEnd(line.mid(arrow + 3));
    if (!IsTimePoint(left) || !IsTimePoint(right))
        return false;
    startMs = ParseTimePoint(left);
    endMs = ParseTimePoint(right);
    return true;
}

// The lines of a lyric, subtitle or plain-text file, as the Lines format
// reads them.
class LinesParser {
public:
    LinesParser(TextLineSource& source, const SentenceRow& blank, bool tidy, ParsedRows& out)
        : source_(source), blank_(blank), tidy_(tidy), out_(out), sorter_(tidy)
    {
    }

    void run()
    {
        QString line;
        bool atBlockStart = true; // the start of the file, or after a blank line
        while (!out_.overflowed && source_.next(line)) {
            if (line.isEmpty()) {
                atBlockStart = true;
                continue;
            }
            const bool blockStart = atBlockStart;
            atBlockStart = false;
            uint32_t startMs = 0;
            uint32_t endMs = 0;
            if (line.contains(u'[') && line.contains(u']')) {
                if (tidy_)
                    tidyLyric(line);
                else
                    literalLyric(line);
            } else if (IsAllDigits(line)) {
                atBlockStart = indexedBlock();
            } else if (blockStart && isTimeLine(line, startMs, endMs)) {
                subtitleBlock(startMs, endMs);
                atBlockStart = true;
            } else {
                SentenceRow row = blank_;
                row[Text] = tidy_ ? TidyText(line) : line;
                out_.add(std::move(row), {});
            }
        }
    }

    const QString& title() const { return title_; }
    int64_t offsetMs() const { return offsetMs_; }

private:
    // A lyric line read literally: a bracket of at least five characters
    // holds the start time; the text is everything after the first "]", a
    // blank included.
    void literalLyric(const QString& line)
    {
        const qsizetype open = line.indexOf(u'[');
        const qsizetype close = line.indexOf(u']');
        Timing timing;
        timing.lyric = true;
        if (close - open > 5) {
            const QStringView inner = QStringView(line).mid(open + 1, close - open - 1);
            timing.startMs = ParseTimePoint(inner);
            // Only a real time places the row in time; "[Chorus]" does not.
            timing.timed = IsTimePoint(inner);
        }
        SentenceRow row = blank_;
        row[Text] = tidy_ ? TidyText(QStringView(line).mid(close + 1)) : line.mid(close + 1);
        out_.add(std::move(row), timing);
    }

    // A lyric line read tidily: a tag line ([ti:...], [offset:...]) gives no
    // row; each leading time tag gives a row of its own with the same text.
    void tidyLyric(const QString& line)
    {
        if (tagLine(line))
            return;
        std::vector<uint32_t> times;
        qsizetype at = 0;
        while (at < line.size() && line[at] == u'[') {
            const qsizetype close = line.indexOf(u']', at);
            if (close < 0)
                break;
            const QStringView inner = QStringView(line).sliced(at + 1, close - at - 1);
            if (!IsTimePoint(inner))
                break;
            times.push_back(ParseTimePoint(inner));
            at = close + 1;
        }
        if (times.empty()) {
            literalLyric(line);
            return;
        }
        const QString text = TidyText(QStringView(line).sliced(at));
        for (const uint32_t startMs : times) {
            SentenceRow row = blank_;
            row[Text] = text;
            out_.add(std::move(row), {startMs, 0, true, true});
        }
    }

    // "[key:value]" with a key of letters (or "#", a comment) and nothing
    // else on the line. [ti:] names the song, [offset:] shifts every time.
    bool tagLine(const QString& line)
    {
        if (!line.startsWith(u'[') || !line.endsWith(u']'))
            return false;
        const qsizetype colon = line.indexOf(u':');
        if (colon < 2)
            return false;
        const QStringView key = QStringView(line).sliced(1, colon - 1);
        for (const QChar c : key) {
            if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'#'))
                return false;
        }
        const QStringView value = QStringView(line).sliced(colon + 1, line.size() - colon - 2);
        if (key.compare(QLatin1String("ti"), Qt::CaseInsensitive) == 0 && title_.isEmpty()) {
            title_ = TidyText(value);
        } else if (key.compare(QLatin1String("offset"), Qt::CaseInsensitive) == 0) {
            QStringView number = value.trimmed();
            if (number.startsWith(u'+'))
                number = number.sliced(1);
            bool ok = false;
            const qint64 offset = number.toLongLong(&ok);
            if (ok && offset > -86400000 && offset < 86400000)
                offsetMs_ = offset;
        }
        return true;
    }

    // A subtitle block after its index line: the time line, then text lines.
    // A second line without "-->" is dropped and the row keeps an empty text;
    // what follows is read as lines of its own. True when the block ended at
    // a blank line or the end of the file.
    bool indexedBlock()
    {
        SentenceRow row = blank_;
        QString times;
        if (!source_.next(times)) {
            out_.add(std::move(row), {});
            return true;
        }
        const qsizetype arrow = times.indexOf(QLatin1String("-->"));
        if (arrow < 0) {
            out_.add(std::move(row), {});
            return times.isEmpty();
        }
        subtitleBlock(ParseTimePoint(QStringView(times).left(arrow)),
                      ParseTimePoint(TimeLineEnd(QStringView(times).mid(arrow + 3))));
        return true;
    }

    // The text lines of a subtitle block, up to a blank line or the end of
    // the file, over `text` and `text2` by the script rule.
    void subtitleBlock(uint32_t startMs, uint32_t endMs)
    {
        SentenceRow row = blank_;
        QString text;
        while (source_.next(text) && !text.isEmpty()) {
            if (tidy_) {
                text = TidyText(text);
                if (text.isEmpty())
                    continue;
            }
            sorter_.place(text, row[Text], row[Text2]);
        }
        out_.add(std::move(row), {startMs, endMs, true, false});
    }

    TextLineSource& source_;
    const SentenceRow& blank_;
    const bool tidy_;
    ParsedRows& out_;
    SubtitleLineSorter sorter_;
    QString title_;
    int64_t offsetMs_ = 0;
};

} // namespace

TextFormat textFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("vtt"))
        return TextFormat::WebVtt;
    if (suffix == QLatin1String("ass") || suffix == QLatin1String("ssa"))
        return TextFormat::Ass;
    return TextFormat::Lines;
}

ParsedText parseText(QIODevice& file, const QString& label, const SentenceRow& blank,
                     const TextParseOptions& options)
{
    TextLineSource source(file, label, options.codePage);
    ParsedRows parsed;
    parsed.limit = options.maxRows;
    ParsedText result;
    switch (options.format) {
    case TextFormat::WebVtt:
        parseWebVtt(source, blank, options.tidy, parsed);
        break;
    case TextFormat::Ass:
        parseAss(source, blank, options.tidy, parsed);
        break;
    case TextFormat::Lines: {
        LinesParser parser(source, blank, options.tidy, parsed);
        parser.run();
        if (options.tidy) {
            parsed.shift(parser.offsetMs());
            parsed.sortByTime();
            parsed.dropEmpty();
            result.title = parser.title();
        }
        break;
    }
    }
    result.tooManyRows = parsed.overflowed;
    result.rows = std::move(parsed.rows);
    return result;
}

std::vector<SentenceRow> parseTextLines(QIODevice& file, const QString& label,
                                        const SentenceRow& blank)
{
    return parseText(file, label, blank, {}).rows;
}

} // namespace dictora
