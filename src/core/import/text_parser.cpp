#include "core/import/text_parser.h"

#include "core/import/script_rule.h"
#include "core/import/text_decoding.h"
#include "core/import/time_point.h"
#include "core/study/number_text.h"

namespace dictora {

namespace {

class LineParser {
public:
    LineParser(QIODevice& file, const QString& label) : file_(file), label_(label) {}

    bool next(QString& trimmed)
    {
        if (!ReadTextLine(file_, label_, line_))
            return false;
        trimmed = std::move(line_).trimmed();
        return true;
    }

    // A lyric line: a bracket of at least five characters holds the start
    // time; the text is everything after the first "]", a blank included.
    void fillLyric(const QString& line, SentenceRow& row)
    {
        const qsizetype open = line.indexOf(u'[');
        const qsizetype close = line.indexOf(u']');
        if (close - open > 5)
            row[StartMs] =
                uintText(ParseTimePoint(QStringView(line).mid(open + 1, close - open - 1)));
        row[Text] = line.mid(close + 1);
    }

    // A subtitle block after its index line: the time line, then text lines
    // up to a blank line or the end of the file. A second line without "-->"
    // is dropped and the row keeps an empty text; what follows is read as
    // lines of its own.
    void fillSubtitle(SentenceRow& row)
    {
        QString times;
        if (!next(times))
            return;
        const qsizetype arrow = times.indexOf(QLatin1String("-->"));
        if (arrow < 0)
            return;
        row[StartMs] = uintText(ParseTimePoint(QStringView(times).left(arrow)));
        row[EndMs] = uintText(ParseTimePoint(QStringView(times).mid(arrow + 3)));
        QString text;
        while (next(text) && !text.isEmpty())
            sorter_.place(text, row[Text], row[Text2]);
    }

private:
    QIODevice& file_;
    const QString& label_;
    QString line_;
    SubtitleLineSorter sorter_;
};

} // namespace

std::vector<SentenceRow> parseTextLines(QIODevice& file, const QString& label,
                                        const SentenceRow& blank)
{
    std::vector<SentenceRow> rows;
    LineParser parser(file, label);
    QString line;
    while (parser.next(line)) {
        if (line.isEmpty())
            continue;
        SentenceRow row = blank;
        if (line.contains(u'[') && line.contains(u']'))
            parser.fillLyric(line, row);
        else if (IsAllDigits(line))
            parser.fillSubtitle(row);
        else
            row[Text] = line;
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace dictora
