// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/media_command_line.h"

namespace dictora {

MediaCommandLine MediaCommandLine::split(const QString& command)
{
    MediaCommandLine line;
    line.command = command;
    qsizetype i = 0;
    const qsizetype n = command.size();
    while (i < n) {
        while (i < n && command.at(i).isSpace())
            ++i;
        if (i >= n)
            break;
        Word word;
        word.offset = i;
        if (command.at(i) == QLatin1Char('"')) {
            word.quoted = true;
            const qsizetype close = command.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? n : close;
            word.text = command.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
        } else {
            const qsizetype start = i;
            while (i < n && !command.at(i).isSpace())
                ++i;
            word.text = command.mid(start, i - start);
        }
        line.words.append(word);
    }
    return line;
}

bool MediaCommandLine::is(qsizetype i, QLatin1String keyword) const
{
    return i < words.size() && !words.at(i).quoted &&
           words.at(i).text.compare(keyword, Qt::CaseInsensitive) == 0;
}

qsizetype MediaCommandLine::find(qsizetype from,
                                 std::initializer_list<QLatin1String> keywords) const
{
    for (qsizetype i = from; i < words.size(); ++i)
        for (QLatin1String keyword : keywords)
            if (is(i, keyword))
                return i;
    return -1;
}

QString MediaCommandLine::span(qsizetype first, qsizetype end) const
{
    if (first >= words.size())
        return {};
    const qsizetype last = end < 0 ? words.size() : end;
    if (last == first + 1 && words.at(first).quoted)
        return words.at(first).text;
    const qsizetype from = words.at(first).offset;
    const qsizetype to = last < words.size() ? words.at(last).offset : command.size();
    return command.mid(from, to - from).trimmed();
}

} // namespace dictora
