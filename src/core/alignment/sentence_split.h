// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace dictora {

// Splits a line of a transcript into the sentences a learner dictates one at
// a time. A short line is one sentence; a paragraph is cut after sentence
// punctuation:
// - Latin and other spaced scripts: after ". ! ? …" (with any closing quotes
//   or brackets that follow) when a blank follows and the next word does not
//   start with a lower-case letter or a digit, and the word before a "." is
//   not an abbreviation ("Mr.", "e.g.", a single capital as in "J. Smith").
// - CJK: after "。！？" and their full-width forms, blank or not.
// Sentences are trimmed; pieces holding no letter or digit join the sentence
// before them.
QStringList splitSentences(const QString& line);

// Every sentence of the lines of a transcript, in order; blank lines give none.
QStringList transcriptSentences(const QStringList& lines);

} // namespace dictora
