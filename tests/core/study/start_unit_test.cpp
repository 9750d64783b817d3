// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/start_unit.h"

#include "library_fixture.h"

namespace dictora::test {
namespace {

TEST(StartUnit, TheNotebookWithSomethingDueElseTheUnitOpenLast)
{
    const QStringList names = {"生句本", "Welcome", "Lesson", "Song"};
    const struct {
        const char* what;
        const char* firstStart;
        bool notebookDue;
        const char* last;
        int position;
    } cases[] = {
        {"a first start opens its Unit", "Welcome", true, "Song", 1},
        {"the Notebook has something to study", "", true, "Song", 0},
        {"nothing due: the Unit open last", "", false, "Song", 3},
        {"the Unit open last is gone", "", false, "Gone", 0},
        {"none kept", "", false, "", 0},
        {"never the Notebook by name", "", false, "生句本", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(startUnitPosition(names, c.firstStart, c.notebookDue, c.last), c.position)
            << c.what;
}

TEST_F(LibraryTest, TheScanTellsWhetherTheNotebookHasSomethingDue)
{
    writeUnit("Lesson", {title("One"), sentence("Hello.", "1", "1")});
    writeUnit("Song", {title("Two"), sentence("La la.", "1", "1")});
    EXPECT_EQ(loadLastUnit(folder), "");
    ASSERT_TRUE(saveLastUnit(folder, "Lesson"));
    EXPECT_EQ(loadLastUnit(folder), "Lesson");

    library.ScanDataFolder(); // an empty Notebook
    EXPECT_EQ(library.startPosition(), library.positionOf("Lesson"));

    writeUnit("生句本", {sentence("Still to study.", "0", "0")}, kNotebookHeader);
    library.ScanDataFolder();
    EXPECT_EQ(library.startPosition(), 0);

    writeUnit("生句本", {}, kNotebookHeader); // emptied again
    library.ScanDataFolder();
    EXPECT_EQ(library.startPosition(), library.positionOf("Lesson"));
}

} // namespace
} // namespace dictora::test
