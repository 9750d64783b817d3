// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/start_unit.h"

#include <gtest/gtest.h>

using namespace dictora;

TEST(StartUnit, TheNotebookWithSomethingDueElseTheUnitOpenLast)
{
    const QStringList names = {"生句本", "Welcome", "Song"};
    const struct {
        const char *firstStart, *last;
        bool notebookDue;
        int position;
    } cases[] = {{"Welcome", "Song", true, 1}, {"", "Song", true, 0}, {"", "Song", false, 2},
                 {"", "Gone", false, 0},       {"", "", false, 0},    {"", "生句本", false, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(startUnitPosition(names, c.firstStart, c.notebookDue, c.last), c.position)
            << c.firstStart << c.last << c.notebookDue;
}
