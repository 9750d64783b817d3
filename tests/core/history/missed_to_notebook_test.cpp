// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/missed_to_notebook.h"
#include "core/study/unit_file.h"
#include "core/study/unit_library.h"

#include "core/study/study_fixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

TEST(MissedToNotebook, AddsEachFoundSentenceOnceWithItsMedia)
{
    QTemporaryDir home;
    ProgramFolder folder{home.path() + "/"};
    createDataFolders(folder);
    SentenceRow head = title("Part");
    head[MediaPath] = "/music/talk.mp3";
    head[MediaName] = "talk.mp3";
    SentenceRow first = sentence("I am here.");
    first[StartMs] = "100";
    first[EndMs] = "900";
    ASSERT_TRUE(writeAll(folder.dataFolder() + "Lesson.dat",
                         encodeUnit(kNewUnitHeader, {head, first, sentence("Second one.")}, false)));
    StudyState state;
    SentenceTable table;
    UnitLibrary library(folder, state, table);
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("Lesson")));

    const NotebookAddition added = addMissedToNotebook(
        library, table,
        {{"Lesson", "Part", "I am here."}, {"Lesson", "Part", "I am here."},
         {"Lesson", "Part", "Gone since."}, {"Other", "", "Nowhere."}});
    EXPECT_EQ(added.added, 1);
    EXPECT_EQ(added.alreadyThere, 1);
    EXPECT_EQ(added.notFound, 2);
    EXPECT_TRUE(added.error.isEmpty());
    const UnitReadResult notebook = readUnitFile(folder.dataFolder() + "生句本.dat", true);
    ASSERT_EQ(notebook.rows.size(), 1u);
    EXPECT_EQ(notebook.rows[0][Text], "I am here.");
    EXPECT_EQ(notebook.rows[0][SectionTitle], "Lesson");
    EXPECT_EQ(notebook.rows[0][MediaPath], "/music/talk.mp3");
    EXPECT_EQ(notebook.rows[0][StartMs], "100");

    ASSERT_TRUE(library.OpenUnit(library.positionOf("生句本")));
    EXPECT_FALSE(addMissedToNotebook(library, table, {{"Lesson", "Part", "Second one."}}).error.isEmpty());
}

} // namespace
