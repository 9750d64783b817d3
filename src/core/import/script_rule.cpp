// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/script_rule.h"

namespace dictora {

namespace {

int decide(qsizetype narrow, qsizetype wide, bool majorityRule)
{
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

bool isEastAsian(QChar::Script script)
{
    switch (script) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
        return true;
    default:
        return false;
    }
}

} // namespace

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
    return decide(narrow, wide, majorityRule);
}

int ClassifyScriptByUnicode(QStringView line, bool majorityRule)
{
    qsizetype narrow = 0;
    qsizetype wide = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        char32_t code = line[i].unicode();
        if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate()) {
            // Both halves are read before the index moves on: the order in which
            // function arguments are evaluated is unspecified.
            code = QChar::surrogateToUcs4(line[i], line[i + 1]);
            ++i;
        }
        if (code < 0x80) {
            // The common case, without a table look-up.
            narrow += (code | 0x20) >= u'a' && (code | 0x20) <= u'z';
            continue;
        }
        const QChar::Script script = QChar::script(code);
        if (script == QChar::Script_Common || script == QChar::Script_Inherited ||
            script == QChar::Script_Unknown)
            continue;
        ++(isEastAsian(script) ? wide : narrow);
    }
    return decide(narrow, wide, majorityRule);
}

void SubtitleLineSorter::place(const QString& line, QString& text, QString& text2)
{
    const bool majorityRule = primary_ != ScriptUndecided;
    const int script = byUnicodeScript_ ? ClassifyScriptByUnicode(line, majorityRule)
                                        : ClassifyScript(line, majorityRule);
    if (script != ScriptUndecided && primary_ == ScriptUndecided)
        primary_ = script;
    const bool toText = script == primary_ || (script == ScriptUndecided && primary_ != ScriptWide);
    QString& target = toText ? text : text2;
    target.reserve(target.size() + 1 + line.size());
    target += u' ';
    target += line;
}

} // namespace dictora
