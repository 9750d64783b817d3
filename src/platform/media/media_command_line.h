// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace dictora {

// One command string split into words. Blanks separate words; a double-quoted
// part is one word without its quotes. Each word remembers where it began in
// the command so that an unquoted path with blanks can be cut out whole.
struct MediaCommandLine {
    struct Word {
        QString text;
        bool quoted = false;
        qsizetype offset = 0; // first character in the command (the quote, if any)
    };

    QString command;
    QList<Word> words;

    static MediaCommandLine split(const QString& command);

    qsizetype size() const { return words.size(); }
    QString word(qsizetype i) const { return i < words.size() ? words.at(i).text : QString(); }
    bool is(qsizetype i, QLatin1String keyword) const;
    // Index of the first word at or after from equal to one of the keywords
    // (case-insensitive, unquoted), or -1.
    qsizetype find(qsizetype from, std::initializer_list<QLatin1String> keywords) const;
    // The text of word first up to (not including) word end, or to the end of
    // the command when end is -1: a single quoted word gives its text,
    // anything else the raw text trimmed.
    QString span(qsizetype first, qsizetype end) const;
};

} // namespace dictora
