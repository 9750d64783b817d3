// SPDX-License-Identifier: GPL-3.0-or-later
#include "library_fixture.h"

#include "core/study/unit_names.h"

#include <QRegularExpression>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>

using namespace dictora;
using namespace dictora::test;

TEST(UnitNames, RefusesTheNineCharactersEmptyAndHiddenNames)
{
    EXPECT_EQ(unitNameMessage(), "单元名不要含有 /\\:*?\"<>|");
    EXPECT_EQ(unitExistsMessage("第一课"), "第一课 单元名已经存在.");
    EXPECT_TRUE(isAcceptableUnitName("New Concept 2 - 第1课 (a.b)"));
    for (const QString bad : {"/", "\\", ":", "*", "?", "\"", "<", ">", "|"})
        EXPECT_FALSE(isAcceptableUnitName("x" + bad + "y")) << bad.toStdString();
    EXPECT_FALSE(isAcceptableUnitName(""));
    EXPECT_FALSE(isAcceptableUnitName(".hidden"));
}

TEST_F(LibraryTest, NewUnitHoldsOneTitleRowAndOpens)
{
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(0));
    const UnitResult made = library.createUnit("新单元");
    ASSERT_TRUE(made.ok) << made.message.toStdString();
    EXPECT_EQ(library.unitNames(), (QStringList{"生句本", "新单元"}));
    EXPECT_EQ(library.openPosition(), 1);
    EXPECT_TRUE(state.unitModified);
    EXPECT_EQ(library.header(), (UnitHeader{2, 1.0f, 1}));
    const UnitReadResult read = readUnitFile(dataPath("新单元"), false);
    EXPECT_EQ(read.header, (UnitHeader{2, 1.0f, 1}));
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(read.rows[0], title("标题"));
    EXPECT_EQ(library.totalPercentText(), "0%"); // a Unit without sentences counts for nothing
}

TEST_F(LibraryTest, CreatingRefusesBadAndTakenNamesWithTheirMessages)
{
    ASSERT_TRUE(writeAll(dataPath("notes"), "not a Unit, but the learner's file"));
    writeUnit("有", {title("T")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(0));
    const struct {
        QString name;
        QString message;
    } refused[] = {{"a/b", unitNameMessage()},
                   {"", unitNameMessage()},
                   {"有", "有 单元名已经存在."},
                   {"生句本", "生句本 单元名已经存在."},
                   {"notes", "notes 单元名已经存在."}};
    for (const auto& [name, message] : refused) {
        const UnitResult result = library.createUnit(name);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message, message);
    }
    EXPECT_EQ(library.unitCount(), 2);
    EXPECT_EQ(readAll(dataPath("notes")), "not a Unit, but the learner's file");
}

TEST_F(LibraryTest, RenameMovesFileAndMediaAndKeepsTheStudyState)
{
    writeUnit("旧", {title("T"), sentence("one", "1", "3", "20260615080000"), sentence("two")},
              {3, 2.5f, 0});
    writeUnit("别的", {title("T")});
    QDir(folder.mediaFolder()).mkpath("旧");
    ASSERT_TRUE(writeAll(folder.mediaFolder() + "旧/a.mp3", "audio"));
    library.ScanDataFolder();
    const int position = library.positionOf("旧");
    ASSERT_TRUE(library.OpenUnit(position));
    const QByteArray before = readAll(dataPath("旧"));
    media.sent.clear();

    for (const QString taken : {"别的", "生句本"}) {
        const UnitResult refused = library.renameOpenUnit(taken);
        EXPECT_FALSE(refused.ok);
        EXPECT_EQ(refused.message, unitExistsMessage(taken));
    }
    EXPECT_EQ(library.renameOpenUnit("a:b").message, unitNameMessage());
    EXPECT_EQ(library.renameOpenUnit("").message, unitNameMessage());
    EXPECT_EQ(readAll(dataPath("旧")), before);
    EXPECT_EQ(readUnitFile(dataPath("别的"), false).rows.size(), 1u);

    ASSERT_TRUE(library.renameOpenUnit("新").ok);
    EXPECT_FALSE(QFileInfo::exists(dataPath("旧")));
    EXPECT_EQ(readAll(dataPath("新")), before);
    EXPECT_EQ(library.unitName(), "新");
    EXPECT_EQ(library.unitNames().at(position), "新");
    EXPECT_EQ(library.openPosition(), position);
    EXPECT_EQ(library.header(), (UnitHeader{3, 2.5f, 0}));
    EXPECT_EQ(readAll(folder.mediaFolder() + "新/a.mp3"), "audio");
    EXPECT_TRUE(media.sent.contains("Close MYSHOW "));
}

TEST_F(LibraryTest, RenameThatCannotWriteKeepsTheOldFile)
{
    writeUnit("旧", {title("T"), sentence("one")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("旧")));
    const QByteArray before = readAll(dataPath("旧"));
    // A folder where the new file would go: the write fails.
    QDir(folder.dataFolder()).mkdir("新.dat");
    const UnitResult result = library.renameOpenUnit("新");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(readAll(dataPath("旧")), before);
    EXPECT_EQ(library.unitFilePath(), dataPath("旧"));
}

namespace {
// The system's file steps, except that one file cannot be removed (as on a
// folder or file the learner may not change).
class UnremovableFile : public FileSteps {
public:
    explicit UnremovableFile(const QString& path) : path_(QFile::encodeName(path)) {}
    bool remove(const QByteArray& path) override
    {
        if (path == path_) {
            errno = EPERM;
            return false;
        }
        return FileSteps::remove(path);
    }

private:
    QByteArray path_;
};
} // namespace

TEST_F(LibraryTest, RenameWhoseOldFileCannotBeRemovedIsUndoneAndSaysWhy)
{
    writeUnit("旧", {title("T"), sentence("one")});
    QDir(folder.mediaFolder()).mkpath("旧");
    ASSERT_TRUE(writeAll(folder.mediaFolder() + "旧/a.mp3", "audio"));
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("旧")));
    const QByteArray before = readAll(dataPath("旧"));
    UnremovableFile steps(dataPath("旧"));
    library.setFileSteps(steps);

    const UnitResult result = library.renameOpenUnit("新");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.contains("旧 was not renamed")) << result.message.toStdString();
    EXPECT_TRUE(result.message.contains("cannot be removed (Operation not permitted)"));
    EXPECT_TRUE(result.message.contains("keeps its name"));
    EXPECT_EQ(readAll(dataPath("旧")), before);
    EXPECT_FALSE(QFileInfo::exists(dataPath("新")));
    EXPECT_EQ(readAll(folder.mediaFolder() + "旧/a.mp3"), "audio");
    EXPECT_FALSE(QFileInfo::exists(folder.mediaFolder() + "新"));
    EXPECT_EQ(library.unitName(), "旧");
    EXPECT_EQ(library.unitFilePath(), dataPath("旧"));
    // Listed once, under its old name, now and at the next start.
    EXPECT_EQ(library.unitNames(), (QStringList{"生句本", "旧"}));
    library.ScanDataFolder();
    EXPECT_EQ(library.unitNames(), (QStringList{"生句本", "旧"}));
}

TEST_F(LibraryTest, DeleteOpensTheNotebookAndTheEntriesFollowTheirUnits)
{
    writeUnit("A", {title("T"), sentence("one")});                             // 0%
    writeUnit("B", {title("T"), sentence("two", "1", "1", "20260615080000")}); // 100%
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(0));
    library.UpdateTotal();
    const int a = library.positionOf("A");
    const int b = library.positionOf("B");
    EXPECT_EQ(library.totalPercentText(), "50%"); // the empty Notebook does not count

    EXPECT_FALSE(library.deleteOpenUnit().ok); // the Notebook stays
    EXPECT_TRUE(QFileInfo::exists(dataPath("生句本")));

    ASSERT_TRUE(library.OpenUnit(a));
    ASSERT_TRUE(library.deleteOpenUnit().ok);
    EXPECT_FALSE(QFileInfo::exists(dataPath("A")));
    EXPECT_TRUE(library.isNotebook());
    EXPECT_EQ(library.openPosition(), 0);
    EXPECT_EQ(library.unitNames(), (QStringList{"生句本", "B"}));
    EXPECT_EQ(library.completion().percentOf(library.positionOf("B")), 100);
    EXPECT_EQ(library.totalPercentText(), "100%");
    EXPECT_LT(a, b);

    ASSERT_TRUE(library.OpenUnit(1));
    ASSERT_TRUE(library.deleteOpenUnit().ok);
    EXPECT_EQ(library.unitNames(), QStringList{"生句本"});
    EXPECT_FALSE(QFileInfo::exists(dataPath("A")));
    EXPECT_FALSE(QFileInfo::exists(dataPath("B")));
}

TEST_F(LibraryTest, CrashInTheMiddleOfASaveLeavesTheOldFileWhole)
{
    writeUnit("大", {title("T"), sentence("one", "1", "2", "20260615080000")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("大")));
    const QByteArray before = readAll(dataPath("大"));
    std::vector<SentenceRow> many;
    for (int i = 0; i < 20000; ++i)
        many.push_back(sentence(QString("sentence %1 with some words in it").arg(i)));
    table.replaceAll(std::move(many));

    // The process dies while the new file is being written: a file size
    // limit kills it with SIGXFSZ half way through.
    const auto saveUnderLimit = [this] {
        const rlimit limit{256 * 1024, 256 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        library.SaveUnit();
        std::exit(0);
    };
    ASSERT_EXIT(saveUnderLimit(), ::testing::KilledBySignal(SIGXFSZ), "");

    EXPECT_EQ(readAll(dataPath("大")), before);
    const UnitReadResult read = readUnitFile(dataPath("大"), false);
    EXPECT_TRUE(read.terminated);
    EXPECT_EQ(read.rows.size(), 2u);
    // The half-written temporary file is left behind; the next scan takes it away.
    const QStringList everything = QDir(folder.dataFolder()).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(everything.filter(QRegularExpression("^\\.大\\.dat\\.")).size(), 1)
        << everything.join(' ').toStdString();
    library.ScanDataFolder();
    EXPECT_EQ(library.unitNames(), (QStringList{"生句本", "大"}));
    EXPECT_EQ(QDir(folder.dataFolder()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"大.dat", "生句本.dat"}));
}
