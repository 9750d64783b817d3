// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace dictora {

// How one piece of the marked answer stands against the sentence.
enum class DiffMark {
    Plain,   // not significant (blanks, punctuation, digits): never an error
    Right,   // typed as the sentence has it
    Wrong,   // typed, but the sentence has another character here
    Extra,   // typed, but the sentence has nothing here
    Missing, // in the sentence, not typed: shown in the sentence's wording
};

struct DiffPiece {
    QString text;
    DiffMark mark = DiffMark::Plain;
    QString expected; // for Wrong: what the sentence has in its place

    bool operator==(const DiffPiece&) const = default;
};

// The whole answer marked against the sentence. Only the significant
// characters of answer checking count, so case, blanks, punctuation and
// digits never show as errors, and an answer that answer checking accepts
// has no error at all. Words of Latin, Cyrillic and other spaced scripts are
// aligned word by word, a typo inside a word marked by character; Chinese,
// Japanese and Korean are aligned character by character. The marking shows;
// it decides nothing.
struct AnswerDiff {
    QList<DiffPiece> pieces;      // the answer in order, missing text inserted where it belongs
    QStringList missedWords;      // sentence words typed wrongly or left out, lower-cased
    int errorCount = 0;           // Wrong, Extra and Missing pieces

    bool hasErrors() const { return errorCount > 0; }
};

AnswerDiff diffAnswer(QStringView sentence, QStringView answer);

// CJK ideographs, kana and Hangul: aligned one character at a time.
bool isCharacterScript(QChar c);

} // namespace dictora
