#include "core/import/script_rule.h"

namespace dictora {

int ClassifyScript(const QString& line, bool majorityRule)
{
    qsizetype narrow = 0;
    qsizetype wide = 0;
    for (const QChar c : line) {
        if (c == u' ')
            continue;
        if (c.unicode() < 256)
            ++narrow;
        else
            ++wide;
    }
    if (majorityRule) {
        if (narrow > wide)
            return ScriptNarrow;
        if (wide > narrow)
            return ScriptWide;
        return ScriptUndecided;
    }
    if (narrow > 0 && wide == 0)
        return ScriptNarrow;
    if (wide > 0 && narrow == 0)
        return ScriptWide;
    return ScriptUndecided;
}

void SubtitleLineSorter::place(const QString& line, QString& text, QString& text2)
{
    const int script = ClassifyScript(line, primary_ != ScriptUndecided);
    if (script != ScriptUndecided && primary_ == ScriptUndecided)
        primary_ = script;
    const bool toText = script == primary_ || (script == ScriptUndecided && primary_ != ScriptWide);
    QString& target = toText ? text : text2;
    target.reserve(target.size() + 1 + line.size());
    target += u' ';
    target += line;
}

} // namespace dictora
