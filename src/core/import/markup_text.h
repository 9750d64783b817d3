// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

namespace dictora {

// Tidies one line of lyric or subtitle text down to the words a learner
// types: strips HTML-like tags (<i>, </font>, <font color=...>, WebVTT's
// <c.loud> and <v Speaker>), word times (<00:12.34>), ASS override blocks
// that begin with a backslash ({\an8}, {\i1}), and turns character entities
// (&nbsp; &amp; &lt; &gt; &quot; &apos; &#NN; &#xNN;) into their characters
// (&nbsp; into a blank). Blanks left in a run become one; the ends are
// trimmed. A "<" or "{" that opens no tag stays.
QString TidyText(QStringView line);
QString TidyText(const QString& line);

// The text of an ASS/SSA event as the lines it shows: every override block
// {...} is removed, and with it the vector drawings a {\p1} block starts;
// \N and \n break the line, \h is a blank. Each line is trimmed.
QStringList AssEventLines(QStringView text);

} // namespace dictora
