// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/review_mark_file.h"

#include "library_fixture.h"

#include <functional>

namespace dictora::test {
namespace {

struct MarksCase {
    const char* rule;
    // What happens to the open Unit "课" (rows: title, "one", "two", "three";
    // row 2 "two" marked as read from a picture and saved) before it is opened again.
    std::function<void(UnitLibrary&, SentenceTable&, StudyState&)> act;
    QStringList markedAfter; // texts of the rows marked after opening again
    const char* unitOpenedAfter = "课";
};

SentenceRow timed(const char* text, int start, int end)
{
    SentenceRow row = sentence(QString::fromUtf8(text));
    row[StartMs] = QString::number(start);
    row[EndMs] = QString::number(end);
    return row;
}

const QByteArray kNotMarks = "{\"marks\": [ {\"startMs\": 2000, \"endMs\"";

TEST_F(LibraryTest, ReviewMarksStayWithTheirRowsUntilLookedAtInEditMode)
{
    const std::vector<MarksCase> cases = {
        {"a mark is kept beside the Unit", [](auto&, auto&, auto&) {}, {"two"}},
        {"rows inserted and removed around it",
         [](auto&, SentenceTable& t, auto&) {
             t.insertRow(1, timed("new", 0, 500));
             t.removeRows(4, 1);
         },
         {"two"}},
        {"its times moved with the rest of the Section",
         [](auto&, SentenceTable& t, auto&) {
             t.setField(2, StartMs, "2500");
             t.setField(2, EndMs, "3500");
         },
         {"two"}},
        {"seen in Edit mode clears it",
         [](UnitLibrary& l, auto&, StudyState& s) {
             s.editMode = true;
             EXPECT_TRUE(l.reviewMarks().lookedAt(2, s));
         },
         {}},
        {"seen in Browse mode keeps it",
         [](UnitLibrary& l, auto&, StudyState& s) { EXPECT_FALSE(l.reviewMarks().lookedAt(2, s)); },
         {"two"}},
        {"the row deleted takes it",
         [](auto&, SentenceTable& t, auto&) { t.removeRows(2, 1); },
         {}},
        {"the row made a title loses it",
         [](auto&, SentenceTable& t, auto&) { t.setField(2, Kind, "0"); },
         {}},
        {"the row changed behind the program's back no longer holds it",
         [](UnitLibrary& l, auto&, auto&) {
             writeAll(l.unitFilePath(),
                      encodeUnit(kNewUnitHeader,
                                 {title("T"), timed("one", 1000, 2000), timed("zwei", 2000, 3000)},
                                 false));
         },
         {}},
        {"a rename takes it along",
         [](UnitLibrary& l, auto&, auto&) {
             ASSERT_TRUE(l.renameOpenUnit("新课").ok);
             EXPECT_FALSE(
                 QFile::exists(reviewMarksPath(l.programFolder().dataFolder() + "课.dat")));
         },
         {"two"},
         "新课"},
        {"a damaged marks file marks nothing and is left as it is",
         [](UnitLibrary& l, auto&, auto&) {
             writeAll(reviewMarksPath(l.unitFilePath()), kNotMarks);
         },
         {}},
    };
    for (const MarksCase& c : cases) {
        SCOPED_TRACE(c.rule);
        QDir(folder.dataFolder()).removeRecursively();
        createDataFolders(folder);
        state = StudyState{};
        setNow("20260615151500");
        writeUnit("课", {title("T"), timed("one", 1000, 2000), timed("two", 2000, 3000),
                         timed("three", 3000, 4000)});
        library.listDataFolder();
        ASSERT_TRUE(library.OpenUnit(library.positionOf("课")));
        library.reviewMarks().mark(2, ReviewReason::ReadFromPicture);
        library.autosaveStep();
        const QByteArray unitBytes = readAll(dataPath("课"));

        c.act(library, table, state);
        library.autosaveStep();
        const bool damaged = readAll(reviewMarksPath(library.unitFilePath())) == kNotMarks;
        ASSERT_TRUE(library.OpenUnit(0));
        ASSERT_TRUE(library.OpenUnit(library.positionOf(QString::fromUtf8(c.unitOpenedAfter))));

        QStringList marked;
        for (int r = 0; r < table.rowCount(); ++r)
            if (library.reviewMarks().reasonAt(r))
                marked << table.field(r, Text);
        EXPECT_EQ(marked, c.markedAfter);
        EXPECT_EQ(library.reviewMarks().count(), c.markedAfter.size());
        const QString marksPath = reviewMarksPath(library.unitFilePath());
        EXPECT_EQ(QFile::exists(marksPath), !c.markedAfter.isEmpty() || damaged);
        if (damaged) {
            EXPECT_EQ(readAll(marksPath), kNotMarks);
            EXPECT_EQ(readAll(dataPath("课")), unitBytes);
        }
        library.CloseUnit();
    }
    // Deleting the Unit deletes its marks.
    ASSERT_TRUE(library.OpenUnit(library.positionOf("课")));
    library.reviewMarks().mark(1, ReviewReason::NotFoundInRecording);
    library.autosaveStep();
    ASSERT_TRUE(QFile::exists(reviewMarksPath(dataPath("课"))));
    ASSERT_TRUE(library.deleteOpenUnit().ok);
    EXPECT_FALSE(QFile::exists(reviewMarksPath(dataPath("课"))));
    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
}

TEST(ReviewMarkFile, ReadsWhatItWritesAndSkipsWhatItCannotTrust)
{
    const std::vector<StoredReviewMark> marks = {
        {0, 4294967295u, "时间 \"引号\"\n", ReviewReason::ReadFromPicture},
        {2000, 3000, "two", ReviewReason::NotFoundInRecording}};
    EXPECT_EQ(decodeReviewMarks(encodeReviewMarks(marks)), marks);
    EXPECT_EQ(reviewMarksPath("/p/Data/Lesson 1.dat"), "/p/Data/.Lesson 1.review.json");

    EXPECT_FALSE(decodeReviewMarks(kNotMarks));
    EXPECT_FALSE(decodeReviewMarks("{\"marks\": 3}"));
    // A negative or fractional time, or a reason this program does not know, leaves a mark out.
    const auto kept = decodeReviewMarks(
        "{\"marks\": [{\"startMs\": -1, \"endMs\": 0, \"text\": \"a\", \"reason\": "
        "\"readFromPicture\"}, {\"startMs\": 1.5, \"endMs\": 0, \"text\": \"a\", \"reason\": "
        "\"readFromPicture\"}, {\"startMs\": 1, \"endMs\": 0, \"text\": \"a\", \"reason\": "
        "\"later\"}, {\"startMs\": 1, \"endMs\": 0, \"text\": \"a\", \"reason\": "
        "\"notFoundInRecording\"}]}");
    EXPECT_EQ(kept ? kept->size() : 0u, 1u);

    // Two rows of the same times and text take one mark each, in order.
    const std::vector<SentenceRow> rows = {title("T"), timed("a", 0, 1), timed("a", 0, 1),
                                           timed("b", 0, 1)};
    const auto reasons = matchReviewMarks(rows, {{0, 1, "a", ReviewReason::NotFoundInRecording},
                                                 {0, 1, "b", ReviewReason::ReadFromPicture},
                                                 {0, 1, "T", ReviewReason::ReadFromPicture}});
    EXPECT_EQ(reasons, (std::vector<std::optional<ReviewReason>>{
                           std::nullopt, ReviewReason::NotFoundInRecording, std::nullopt,
                           ReviewReason::ReadFromPicture}));
}

} // namespace
} // namespace dictora::test
