// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/notebook_media.h"

#include "library_fixture.h"

#include <cerrno>

using namespace dictora;
using namespace dictora::test;

namespace {

SentenceRow notebookRow(const QString& text, const QString& unit, const QString& mediaPath,
                        const QString& mediaName = "a.mp3")
{
    SentenceRow row = sentence(text);
    row[SectionTitle] = unit;
    row[MediaPath] = mediaPath;
    row[MediaName] = mediaName;
    row[MediaLengthMs] = "0";
    return row;
}

// The system's file steps, except that putting a new copy of one file in
// place fails as on a full disk, or removing another fails as on a folder the
// learner may not change.
class FailingFor : public FileSteps {
public:
    QByteArray noReplace;
    QByteArray noRemove;

    bool rename(const QByteArray& from, const QByteArray& to) override
    {
        if (to == noReplace) {
            errno = ENOSPC;
            return false;
        }
        return FileSteps::rename(from, to);
    }
    bool remove(const QByteArray& path) override
    {
        if (path == noRemove) {
            errno = EPERM;
            return false;
        }
        return FileSteps::remove(path);
    }
};

} // namespace

TEST(FollowRenamedUnit, MovesOnlyTheRowsOfThatUnit)
{
    const QString media = "/h/Media/";
    const struct {
        const char* what;
        SentenceRow before;
        SentenceRow after;
    } cases[] = {
        {"copy in the Media folder", notebookRow("a", "旧", ".."), notebookRow("a", "新", "..")},
        {"full path inside the old folder", notebookRow("b", "旧", "/h/Media/旧/sub/b.mp3"),
         notebookRow("b", "新", "/h/Media/新/sub/b.mp3")},
        {"full path elsewhere", notebookRow("c", "旧", "/music/c.mp3"),
         notebookRow("c", "新", "/music/c.mp3")},
        {"folder whose name starts alike", notebookRow("d", "旧", "/h/Media/旧版/d.mp3"),
         notebookRow("d", "新", "/h/Media/旧版/d.mp3")},
        {"no media", notebookRow("e", "旧", "", ""), notebookRow("e", "新", "", "")},
        {"another Unit", notebookRow("f", "旧版", "/h/Media/旧/f.mp3"),
         notebookRow("f", "旧版", "/h/Media/旧/f.mp3")},
    };
    std::vector<SentenceRow> rows;
    std::vector<SentenceRow> expected;
    int changes = 0;
    for (const auto& c : cases) {
        std::vector<SentenceRow> one{c.before};
        const int changed = followRenamedUnit(one, "旧", "新", media);
        EXPECT_EQ(one[0], c.after) << c.what;
        EXPECT_EQ(changed, c.before == c.after ? 0 : 1) << c.what;
        rows.push_back(c.before);
        expected.push_back(c.after);
        changes += changed;
    }
    EXPECT_EQ(followRenamedUnit(rows, "旧", "新", media), changes);
    EXPECT_EQ(rows, expected);
}

class NotebookRenameTest : public LibraryTest {
protected:
    QString notebookPath;

    void SetUp() override
    {
        LibraryTest::SetUp();
        notebookPath = dataPath("生句本");
        writeUnit("旧", {title("T"), sentence("one"), sentence("two")});
        QDir(folder.mediaFolder()).mkpath("旧");
        ASSERT_TRUE(writeAll(folder.mediaFolder() + "旧/a.mp3", "audio"));
        writeUnit("生句本", {notebookRow("one", "旧", ".."),
                             notebookRow("two", "旧", folder.mediaFolder() + "旧/a.mp3"),
                             notebookRow("other", "别的", "..")});
        library.ScanDataFolder();
        ASSERT_TRUE(library.OpenUnit(library.positionOf("旧")));
    }
    std::vector<SentenceRow> notebookRows() const { return readUnitFile(notebookPath, true).rows; }
    // The file each Notebook row would play.
    QString playedFile(const SentenceRow& row) const
    {
        if (row[MediaPath] != "..")
            return row[MediaPath];
        return folder.mediaFolder() + row[SectionTitle] + "/" + row[MediaName];
    }
};

TEST_F(NotebookRenameTest, NotebookRowsFollowTheirUnitAndKeepTheirAudio)
{
    ASSERT_TRUE(library.renameOpenUnit("新").ok);
    const std::vector<SentenceRow> rows = notebookRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][SectionTitle], "新");
    EXPECT_EQ(rows[1][SectionTitle], "新");
    EXPECT_EQ(rows[1][MediaPath], folder.mediaFolder() + "新/a.mp3");
    EXPECT_EQ(rows[2][SectionTitle], "别的");
    for (int row : {0, 1})
        EXPECT_EQ(readAll(playedFile(rows[row])), "audio") << row;
}

TEST_F(NotebookRenameTest, AFailureHalfWayLeavesEverythingAsItWas)
{
    const QByteArray unitBefore = readAll(dataPath("旧"));
    const QByteArray notebookBefore = readAll(notebookPath);
    const struct {
        const char* what;
        bool notebookFull;
        bool oldFileStays;
        const char* says;
    } cases[] = {
        {"the disk is full when the Notebook is written", true, false, "No space left on device"},
        {"the old Unit file cannot be removed", false, true, "cannot be removed"},
    };
    for (const auto& c : cases) {
        FailingFor steps;
        if (c.notebookFull)
            steps.noReplace = QFile::encodeName(notebookPath);
        if (c.oldFileStays)
            steps.noRemove = QFile::encodeName(dataPath("旧"));
        library.setFileSteps(steps);
        const UnitResult result = library.renameOpenUnit("新");
        library.setFileSteps(systemFileSteps());
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_TRUE(result.message.contains(c.says)) << result.message.toStdString();
        EXPECT_TRUE(result.message.contains("keeps its name and file")) << c.what;
        EXPECT_EQ(readAll(dataPath("旧")), unitBefore) << c.what;
        EXPECT_FALSE(QFileInfo::exists(dataPath("新"))) << c.what;
        EXPECT_EQ(readAll(notebookPath), notebookBefore) << c.what;
        EXPECT_EQ(readAll(folder.mediaFolder() + "旧/a.mp3"), "audio") << c.what;
        EXPECT_FALSE(QFileInfo::exists(folder.mediaFolder() + "新")) << c.what;
        EXPECT_EQ(library.unitName(), "旧") << c.what;
    }
}

TEST_F(NotebookRenameTest, ADamagedNotebookStopsTheRenameBeforeAnyChange)
{
    const QByteArray unitBefore = readAll(dataPath("旧"));
    QByteArray damaged = readAll(notebookPath);
    damaged.chop(6);
    ASSERT_TRUE(writeAll(notebookPath, damaged));
    const UnitResult result = library.renameOpenUnit("新");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.contains("damaged")) << result.message.toStdString();
    EXPECT_EQ(readAll(notebookPath), damaged);
    EXPECT_EQ(readAll(dataPath("旧")), unitBefore);
    EXPECT_FALSE(QFileInfo::exists(dataPath("新")));
    EXPECT_TRUE(QFileInfo::exists(folder.mediaFolder() + "旧/a.mp3"));
}
