// SPDX-License-Identifier: GPL-3.0-or-later
// The overall completion ("总完成率") over Units with and without sentences.
#include "library_fixture.h"

using namespace dictora;
using namespace dictora::test;

namespace {

// A Unit done for today (its one sentence answered this morning), one not
// started, and the two kinds with nothing to study.
std::vector<SentenceRow> doneUnit()
{
    return {title("T"), sentence("done", "1", "1", "20260615080000")};
}
std::vector<SentenceRow> openUnit()
{
    return {title("T"), sentence("a"), sentence("b")};
}
std::vector<SentenceRow> titlesOnly()
{
    return {title("标题"), title("Second")};
}

} // namespace

TEST_F(LibraryTest, UnitsWithoutSentencesCountForNothingInTheTotal)
{
    const struct {
        const char* what;
        std::vector<std::vector<SentenceRow>> units;
        std::vector<SentenceRow> notebook;
        const char* total;
    } cases[] = {
        {"a new program folder", {}, {}, "0%"},
        {"one new Unit", {titlesOnly()}, {}, "0%"},
        {"an empty Unit file", {{}}, {}, "0%"},
        {"a Unit not started", {openUnit()}, {}, "0%"},
        {"one done, one not started", {doneUnit(), openUnit()}, {}, "50%"},
        {"one done beside empty ones", {doneUnit(), titlesOnly(), {}}, {}, "100%"},
        {"a Notebook with sentences counts", {doneUnit()}, {sentence("n")}, "50%"},
    };
    for (const auto& c : cases) {
        QDir(folder.dataFolder()).removeRecursively();
        createDataFolders(folder);
        if (!c.notebook.empty())
            writeUnit("生句本", c.notebook);
        for (size_t i = 0; i < c.units.size(); ++i)
            writeUnit(QStringLiteral("单元%1").arg(i), c.units[i]);
        UnitLibrary fresh{folder, state, table, &media}; // as at a start
        fresh.ScanDataFolder();
        fresh.UpdateTotal();
        EXPECT_EQ(fresh.totalPercentText(), c.total) << c.what;
    }
}

TEST_F(LibraryTest, AUnitThatLosesItsSentencesLeavesTheTotal)
{
    writeUnit("甲", doneUnit());
    writeUnit("乙", openUnit());
    library.ScanDataFolder();
    library.UpdateTotal();
    EXPECT_EQ(library.totalPercentText(), "50%");
    ASSERT_TRUE(library.OpenUnit(library.positionOf("乙")));
    table.removeRows(1, table.rowCount() - 1);
    ASSERT_TRUE(library.SaveUnit());
    library.UpdateTotal();
    EXPECT_EQ(library.completion().percentOf(library.positionOf("乙")), -1);
    EXPECT_EQ(library.totalPercentText(), "100%");
    // A later Unit still finds the entry the emptied one left.
    ASSERT_TRUE(library.createUnit("丙").ok);
    table.appendRow(sentence("c"));
    ASSERT_TRUE(library.SaveUnit());
    library.UpdateTotal();
    EXPECT_EQ(library.totalPercentText(), "50%");
}

TEST_F(LibraryTest, NewFiguresComeWithTheTotalThatCountsThem)
{
    writeUnit("甲", doneUnit());
    writeUnit("乙", openUnit());
    library.ScanDataFolder();
    library.UpdateTotal();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("乙")));
    QStringList seen;
    QObject::connect(&library, &UnitLibrary::progressChanged,
                     [&] { seen << library.totalPercentText(); });
    table.replaceAll({title("T"), sentence("a", "1", "1", "20260615090000"),
                      sentence("b", "1", "1", "20260615090000")});
    ASSERT_TRUE(library.SaveUnit());
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.last(), "100%");
}
