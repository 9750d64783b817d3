#pragma once

#include <QString>

namespace dictora {

// Which script a subtitle line is written in, counted by UTF-16 unit with the
// blank U+0020 left out: narrow units are those below 256 (Latin text, tab
// included), wide ones all others (CJK, full-width blanks and punctuation).
enum Script : int { ScriptUndecided = 0, ScriptNarrow = 1, ScriptWide = 2 };

// Without the majority rule: narrow or wide when only that kind occurs, else
// undecided (a mix, or nothing counted). With it: the kind that outnumbers the
// other, undecided on a tie.
int ClassifyScript(const QString& line, bool majorityRule);

// Sends the text lines of subtitle blocks to `text` or `text2`. The first
// line of one script fixes the primary script for the rest of the file, so in
// a two-language file that language is dictated and the other is the prompt.
class SubtitleLineSorter {
public:
    // Appends a blank and the line to `text` or `text2`.
    void place(const QString& line, QString& text, QString& text2);
    int primaryScript() const { return primary_; }

private:
    int primary_ = ScriptUndecided;
};

} // namespace dictora
