// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

namespace dictora {

// Answer checking looks only at significant characters: after trimming and
// lower-casing A-Z, the letters a-z and the characters from U+0100 below
// U+FF00 that are not punctuation, symbols or blanks. Case, spacing,
// punctuation and digits never count, and Chinese characters count one by
// one. A full-width form (U+FF00-U+FFFF, e.g. "，") is skipped on its own; the
// character after it still counts, so "你好，世界" and "你好世界" agree.
bool isSignificant(QChar c);

// Trimmed and lower-cased (A-Z to a-z only) as the comparison sees a text.
QString comparableText(QStringView text);

struct AnswerMismatch {
    // Index in the trimmed answer of the first character that differs from
    // the sentence (its length when the answer is a correct prefix); -1 when
    // the answer matches.
    int answerIndex = -1;
    // Index in the trimmed sentence where the comparison stopped.
    int sentenceIndex = -1;

    bool matches() const { return answerIndex < 0; }
};

// Walks both texts over their significant characters, driven by the
// sentence: once its last significant character is matched, further answer
// characters are not looked at.
AnswerMismatch CompareAnswer(QStringView sentence, QStringView answer);

struct LetterCounts {
    int typed = 0; // significant characters of the answer
    int total = 0; // significant characters of the sentence
};
int countSignificant(QStringView text);
LetterCounts CountLetters(QStringView answer, QStringView sentence);

// What the answer box of a sentence holds when the row is loaded in
// Dictation mode: up to 4 characters taken from the front of the text (never
// its last character): letters, characters from U+0100 up, double quotes and
// apostrophes, and full stops or blanks once something was taken. 'I am
// here.' gives 'I am'.
QString AnswerStarter(QStringView text);

} // namespace dictora
