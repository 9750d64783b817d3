// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/markup_text.h"

#include <gtest/gtest.h>

namespace dictora {
namespace {

// Where an entity or an override block ends decides what stays of a line;
// tidying finds both ends without searching the rest of the line again.
TEST(TidyText, EntitiesAndOverrideBlocksEndWhereTheyShould)
{
    const QString zeros(25, u'0');
    struct Case {
        const char* name;
        QString line;
        QString tidied;
    };
    const Case cases[] = {
        {"a run of ampersands before an entity", "&&&&amp;&", "&&&&&"},
        {"an entity of 32 characters", "&#" + zeros + "0065;", "A"},
        {"one of 33 is none", "&#" + zeros + "00065;", "&#" + zeros + "00065;"},
        {"a semicolon far away", "& " + QString(40, u'x') + ";", "& " + QString(40, u'x') + ";"},
        {"an unknown name", "&bogus; &amp", "&bogus; &amp"},
        {"blocks that open on one line", "{\\i1}a{\\i0}b {\\an8", "ab {\\an8"},
        {"an open block then a closed one", "x {\\an8 y {\\b1}z", "x z"},
        {"blocks and no close at all", "{\\a{\\b{\\c", "{\\a{\\b{\\c"},
        {"a brace without backslash", "{a} {\\b}c", "{a} c"},
        {"tags that never close", "<a<a <i>b</i>", "<a<a b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TidyText(c.line), c.tidied) << c.name;
}

} // namespace
} // namespace dictora
