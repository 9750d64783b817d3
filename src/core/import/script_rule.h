// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

namespace dictora {

// Which script a subtitle line is written in, counted by UTF-16 unit with the
// blank U+0020 left out: narrow units are those below 256 (Latin text, tab
// included), wide ones all others (CJK, full-width blanks and punctuation).
enum Script : int { ScriptUndecided = 0, ScriptNarrow = 1, ScriptWide = 2 };

// Without the majority rule: narrow or wide when only that kind occurs, else
// undecided (a mix, or nothing counted). With it: the kind that outnumbers the
// other, undecided on a tie.
int ClassifyScript(const QString& line, bool majorityRule);

// The same decision for tidy reading, by Unicode script instead of by code:
// wide are the East Asian scripts (Han, Hiragana, Katakana, Hangul,
// Bopomofo), narrow every other script of letters (Latin, Cyrillic, Greek,
// Arabic, Hebrew, Thai ...). Characters of no script of their own (digits,
// punctuation, blanks, symbols) are not counted, so a Russian and a Chinese
// line are told apart as an English and a Chinese one are.
int ClassifyScriptByUnicode(QStringView line, bool majorityRule);

// Sends the text lines of subtitle blocks to `text` or `text2`. The first
// line of one script fixes the primary script for the rest of the file, so in
// a two-language file that language is dictated and the other is the prompt.
class SubtitleLineSorter {
public:
    // By Unicode script (tidy reading) or by the code of each unit.
    explicit SubtitleLineSorter(bool byUnicodeScript = false) : byUnicodeScript_(byUnicodeScript) {}
    // Appends a blank and the line to `text` or `text2`.
    void place(const QString& line, QString& text, QString& text2);
    int primaryScript() const { return primary_; }

private:
    bool byUnicodeScript_ = false;
    int primary_ = ScriptUndecided;
};

} // namespace dictora
