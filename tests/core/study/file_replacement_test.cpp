// SPDX-License-Identifier: GPL-3.0-or-later
// Full disks and failing devices: every step of replacing a file is checked,
// the first failure is reported, and the old file keeps its exact bytes.
#include "core/study/file_replacement.h"
#include "core/study/unit_file.h"

#include "library_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/mount.h>
#include <sys/stat.h>

using namespace dictora;
using namespace dictora::test;

namespace dictora::test {

// The system's steps, except one that fails as a full disk does.
class FailingSteps : public FileSteps {
public:
    explicit FailingSteps(WriteStep failAt, int error = ENOSPC) : failAt_(failAt), error_(error) {}

    std::FILE* create(const QByteArray& path, mode_t mode) override
    {
        return fails(WriteStep::Create) ? nullptr : FileSteps::create(path, mode);
    }
    bool write(std::FILE* file, const char* data, size_t size) override
    {
        return !fails(WriteStep::Write) && FileSteps::write(file, data, size);
    }
    bool flush(std::FILE* file) override
    {
        return !fails(WriteStep::Flush) && FileSteps::flush(file);
    }
    bool sync(std::FILE* file) override { return !fails(WriteStep::Sync) && FileSteps::sync(file); }
    bool close(std::FILE* file) override
    {
        const bool closed = FileSteps::close(file); // released either way
        return !fails(WriteStep::Close) && closed;
    }
    bool rename(const QByteArray& from, const QByteArray& to) override
    {
        return !fails(WriteStep::Rename) && FileSteps::rename(from, to);
    }

private:
    bool fails(WriteStep step) const
    {
        if (step != failAt_)
            return false;
        errno = error_;
        return true;
    }
    WriteStep failAt_;
    int error_;
};

} // namespace dictora::test

namespace {

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

const struct {
    WriteStep step;
    const char* while_;
} kEveryStep[] = {
    {WriteStep::Create, "creating"}, {WriteStep::Write, "writing"},
    {WriteStep::Flush, "flushing"},  {WriteStep::Sync, "syncing"},
    {WriteStep::Close, "closing"},   {WriteStep::Rename, "putting the new copy in place"},
};

} // namespace

TEST(FullDisk, EveryFailingStepIsReportedAndTheOldFileKeepsItsBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Alpha.dat");
    const QByteArray before = encodeUnit(kNewUnitHeader, {title("T"), sentence("one")}, false);
    const QByteArray after = encodeUnit(kNewUnitHeader, {title("T"), sentence("two")}, false);
    for (const auto& [step, while_] : kEveryStep) {
        SCOPED_TRACE(while_);
        ASSERT_TRUE(writeAll(path, before));
        FailingSteps steps(step);
        const WriteOutcome outcome = writeFileAtomically(path, after, false, steps);
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(outcome.error.contains("No space left on device"))
            << outcome.error.toStdString();
        EXPECT_TRUE(outcome.error.contains(while_)) << outcome.error.toStdString();
        EXPECT_EQ(readAll(path), before);
        EXPECT_EQ(filesIn(dir.path()), QStringList{"Alpha.dat"}); // no temporary file left

        // A new file that fails is not made at all.
        const WriteOutcome fresh =
            writeFileAtomically(dir.filePath("New.dat"), after, false, steps);
        EXPECT_FALSE(fresh.ok);
        EXPECT_EQ(filesIn(dir.path()), QStringList{"Alpha.dat"});
    }
    // And with nothing failing, the same call replaces the file.
    ASSERT_TRUE(writeFileAtomically(path, after).ok);
    EXPECT_EQ(readAll(path), after);
}

TEST(FullDisk, ReadOnlyFileIsNotReplacedAndNewCopiesKeepThePermissions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Alpha.dat");
    ASSERT_TRUE(writeAll(path, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(path, "new").ok);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    const WriteOutcome refused = writeFileAtomically(path, "newer");
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.error.contains("read-only")) << refused.error.toStdString();
    EXPECT_EQ(readAll(path), "new");
}

// A real file system that is full: a small tmpfs, where the test may mount
// one (root, and a kernel that lets it).
TEST(FullDisk, SaveOnAFullFileSystemFailsAndKeepsTheUnit)
{
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "); the failing steps above cover every step of a full disk";
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{mountPoint};

    ProgramFolder folder{dir.path() + "/"};
    createDataFolders(folder);
    const QString unit = folder.dataFolder() + "Alpha.dat";
    std::vector<SentenceRow> rows{title("T"), sentence("one")};
    const QByteArray before = encodeUnit(kNewUnitHeader, rows, false);
    ASSERT_TRUE(writeFileAtomically(unit, before).ok);
    // Fill what is left.
    QFile filler(dir.filePath("filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    filler.close();

    for (int i = 0; i < 40; ++i)
        rows.push_back(sentence(QString("sentence %1 that needs room on the disk").arg(i)));
    const WriteOutcome outcome = writeFileAtomically(unit, encodeUnit(kNewUnitHeader, rows, false));
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.error.contains("No space left on device")) << outcome.error.toStdString();
    EXPECT_EQ(readAll(unit), before);
    EXPECT_EQ(filesIn(folder.dataFolder()), QStringList{"Alpha.dat"});
}

TEST_F(LibraryTest, SaveThatFailsAtAnyStepIsReportedAndNeverShownAsSaved)
{
    writeUnit("A", {title("T"), sentence("one")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("A")));
    const QByteArray before = readAll(dataPath("A"));
    for (const auto& [step, while_] : kEveryStep) {
        SCOPED_TRACE(while_);
        FailingSteps steps(step);
        library.setFileSteps(steps);
        failures.clear();
        table.setField(1, Text, QString("changed while %1").arg(while_));
        state.unitModified = true;
        library.autosaveStep();
        ASSERT_EQ(failures.size(), 1);
        EXPECT_TRUE(failures.first().contains(while_));
        EXPECT_EQ(readAll(dataPath("A")), before);
        EXPECT_TRUE(backups().isEmpty()); // no backup of a save that failed
    }
    library.setFileSteps(systemFileSteps());
    state.unitModified = true;
    library.autosaveStep();
    EXPECT_EQ(readUnitFile(dataPath("A"), false).rows[1][Text],
              "changed while putting the new copy in place");
}

TEST_F(LibraryTest, RenameOnAFullDiskKeepsTheOldFileAndMakesNoNewOne)
{
    writeUnit("旧", {title("T"), sentence("one")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("旧")));
    const QByteArray before = readAll(dataPath("旧"));
    FailingSteps full(WriteStep::Flush);
    library.setFileSteps(full);
    failures.clear();
    const UnitResult result = library.renameOpenUnit("新");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(failures.isEmpty()); // one message, the rename's own
    EXPECT_TRUE(result.message.startsWith("旧 was not renamed: cannot save"))
        << result.message.toStdString();
    EXPECT_EQ(readAll(dataPath("旧")), before);
    EXPECT_EQ(filesIn(folder.dataFolder()), (QStringList{"旧.dat", "生句本.dat"}));
    EXPECT_EQ(library.unitFilePath(), dataPath("旧"));
}

TEST_F(LibraryTest, UnitThatCannotBeCreatedIsReportedOnceByItsCaller)
{
    library.ScanDataFolder();
    FailingSteps full(WriteStep::Create);
    library.setFileSteps(full);
    failures.clear();
    const UnitResult result = library.createUnit("新");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.startsWith("cannot save")) << result.message.toStdString();
    EXPECT_TRUE(result.message.endsWith("no file was made")) << result.message.toStdString();
    EXPECT_TRUE(failures.isEmpty());
    EXPECT_EQ(library.unitNames(), QStringList{"生句本"});
    library.setFileSteps(systemFileSteps());
}

// --- stale temporary files ---------------------------------------------

TEST(TemporaryFiles, OnlyTheWritersOwnPatternCounts)
{
    const struct {
        const char* name;
        bool temporary;
    } cases[] = {
        {".Alpha.dat.dictora-tmp-Ab3dE9", true},
        {".生句本.dat.dictora-tmp-qwerty", true},
        {".Alpha (20260615_151500 备份).dat.dictora-tmp-XY12ab", true},
        // Names a learner may give a file, among them the form earlier
        // versions gave their temporary files: never removed.
        {".notes.dat.backup", false},
        {".old.dat.v2copy", false},
        {".Lesson.dat.before", false},
        {".Alpha.dat.Ab3dE9", false},
        {"Alpha.dat.dictora-tmp-Ab3dE9", false},
        {".Alpha.dat", false},
        {".Alpha.dat.dictora-tmp-Ab3dE", false},
        {".Alpha.dat.dictora-tmp-Ab3dE9x", false},
        {".Alpha.dat.dictora-tmp-Ab-dE9", false},
        {"Alpha (损坏 20260615_151500).dat", false},
        {".dictora-tmp-Ab3dE9", false},
    };
    for (const auto& [name, temporary] : cases)
        EXPECT_EQ(isTemporaryFileName(name), temporary) << name;
}

namespace {

// The system's steps, keeping the name of every file created.
class NamingSteps : public FileSteps {
public:
    std::FILE* create(const QByteArray& path, mode_t mode) override
    {
        created << QFileInfo(QFile::decodeName(path)).fileName();
        return FileSteps::create(path, mode);
    }
    QStringList created;
};

} // namespace

TEST_F(LibraryTest, WriterNamesItsTemporaryFilesInTheFormTheScanRemoves)
{
    NamingSteps steps;
    ASSERT_TRUE(writeFileAtomically(dataPath("Alpha"), "x", false, steps).ok);
    ASSERT_EQ(steps.created.size(), 1);
    EXPECT_TRUE(steps.created.first().startsWith(".Alpha.dat.dictora-tmp-"));
    EXPECT_TRUE(isTemporaryFileName(steps.created.first()));
}

TEST_F(LibraryTest, ScanRemovesStaleTemporaryFilesAndNothingElse)
{
    writeUnit("Alpha", {title("T")});
    const QStringList stale{
        folder.dataFolder() + ".Alpha.dat.dictora-tmp-Xk29Qa",
        folder.backupFolder() + ".Alpha (20260601_080000 备份).dat.dictora-tmp-a1B2c3"};
    const QStringList kept{folder.dataFolder() + "Alpha.dat.backup",
                           folder.dataFolder() + "notes.txt",
                           folder.dataFolder() + ".notes.dat.backup",
                           folder.dataFolder() + ".old.dat.v2copy",
                           folder.backupFolder() + ".Lesson.dat.before",
                           folder.backupFolder() + "Alpha (20260601_080000 备份).dat"};
    for (const QString& path : stale + kept)
        ASSERT_TRUE(writeAll(path, "x"));
    // A leftover of the form earlier versions wrote, here a whole Unit: kept,
    // as it may as well be the learner's.
    const QString oldForm = folder.dataFolder() + ".Alpha.dat.Xk29Qa";
    ASSERT_TRUE(writeAll(oldForm, encodeUnit(kNewUnitHeader, {title("T")}, false)));
    library.ScanDataFolder();
    for (const QString& path : stale)
        EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
    for (const QString& path : kept + QStringList{oldForm})
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    EXPECT_EQ(library.unitNames(), (QStringList{"生句本", "Alpha"}));
}

// --- symbolic links -----------------------------------------------------

TEST_F(LibraryTest, LinkedUnitIsSavedIntoItsTargetAndStaysALink)
{
    // The Unit's file lies elsewhere; Data/ holds a link to it.
    const QString elsewhere = home.filePath("ext");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const QString target = elsewhere + "/Ext.dat";
    ASSERT_TRUE(writeAll(target, encodeUnit(kNewUnitHeader, {title("T"), sentence("one")}, false)));
    ASSERT_TRUE(QFile::link("../ext/Ext.dat", dataPath("Ext")));
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("Ext")));
    table.setField(1, Text, "changed");
    state.unitModified = true;
    library.autosaveStep();
    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();
    EXPECT_TRUE(QFileInfo(dataPath("Ext")).isSymLink());
    EXPECT_EQ(readUnitFile(target, false).rows.at(1)[Text], "changed");
    // No temporary file stays behind in either folder.
    EXPECT_EQ(filesIn(elsewhere), QStringList{"Ext.dat"});
    EXPECT_EQ(filesIn(folder.dataFolder()), (QStringList{"Ext.dat", "生句本.dat"}));
}

TEST_F(LibraryTest, LinkThatLeadsNowhereIsReportedAndNeverReplaced)
{
    const QString gone = home.filePath("moved/生句本.dat");
    ASSERT_TRUE(QFile::link(gone, folder.dataFolder() + "生句本.dat"));
    ASSERT_TRUE(QFile::link(home.filePath("moved/Ext.dat"), dataPath("Ext")));
    QStringList unreadable;
    QObject::connect(&library, &UnitLibrary::unitFileUnreadable,
                     [&](const QString& message) { unreadable << message; });
    library.ScanDataFolder();
    library.OpenUnit(0);
    // The Notebook: reported on every save it blocks, never written.
    ASSERT_FALSE(failures.isEmpty());
    EXPECT_EQ(failures.first(), "cannot read " + folder.dataFolder() +
                                    "生句本.dat: it is a link to " + gone +
                                    ", which is not there; it is left as it is");
    // Any other Unit: told, and not listed.
    EXPECT_EQ(unreadable, QStringList{"cannot read the Unit file " + dataPath("Ext") +
                                      ": it is a link to " + home.filePath("moved/Ext.dat") +
                                      ", which is not there; it is not listed"});
    EXPECT_EQ(library.unitNames(), QStringList{"生句本"});
    // Nor does any write make a file where such a link points.
    const WriteOutcome written = writeFileAtomically(dataPath("Ext"), "x");
    EXPECT_FALSE(written.ok);
    EXPECT_EQ(written.error, "cannot save " + dataPath("Ext") + ": it is a link to " +
                                 home.filePath("moved/Ext.dat") +
                                 ", which is not there; the link is left as it is");
    EXPECT_FALSE(library.createUnit("Ext").ok);
    EXPECT_TRUE(QFileInfo(folder.dataFolder() + "生句本.dat").isSymLink());
    EXPECT_TRUE(QFileInfo(dataPath("Ext")).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(home.filePath("moved")));
}

// --- the reader's size limit ---------------------------------------------

TEST_F(LibraryTest, UnitThatWouldPassTheReadersLimitIsNeverWritten)
{
    writeUnit("A", {title("T"), sentence("one")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("A")));
    const QByteArray before = readAll(dataPath("A"));
    failures.clear();
    // Over the limit by a few bytes: refused; at the limit less a little: saved.
    const qint64 rest = kUnitFileSizeLimit - encodedUnitSize(table.rows(), false);
    table.setField(1, Text, QString(int((rest + 6) / 2) + 3, u'x'));
    ASSERT_GT(encodedUnitSize(table.rows(), false), kUnitFileSizeLimit);
    state.unitModified = true;
    library.autosaveStep();
    EXPECT_EQ(failures, QStringList{"cannot save " + dataPath("A") +
                                    ": it would be larger than 64 MB, more than a Unit may hold; "
                                    "the file is left as it was"});
    EXPECT_EQ(readAll(dataPath("A")), before);
    table.setField(1, Text, QString(int((rest - 16) / 2), u'x'));
    ASSERT_LE(encodedUnitSize(table.rows(), false), kUnitFileSizeLimit);
    state.unitModified = true;
    library.autosaveStep();
    EXPECT_EQ(QFileInfo(dataPath("A")).size(), encodedUnitSize(table.rows(), false));
    EXPECT_TRUE(readUnitFile(dataPath("A"), false).readWhole());
}

// --- autosave retries -------------------------------------------------------

namespace {

// A disk that is full until space is freed, counting the saves tried.
class FullUntilFreed : public FileSteps {
public:
    bool full = true;
    int attempts = 0;
    std::FILE* create(const QByteArray& path, mode_t mode) override
    {
        ++attempts;
        return FileSteps::create(path, mode);
    }
    bool write(std::FILE* file, const char* data, size_t size) override
    {
        if (full) {
            errno = ENOSPC;
            return false;
        }
        return FileSteps::write(file, data, size);
    }
};

} // namespace

TEST_F(LibraryTest, FailedAutosaveIsRetriedUntilSavedAndReportedOnce)
{
    writeUnit("A", {title("T"), sentence("one")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("A")));
    const QByteArray before = readAll(dataPath("A"));
    FullUntilFreed disk;
    library.setFileSteps(disk);
    failures.clear();
    const TimeValue start = state.now.toSecsSinceEpoch();
    const struct {
        const char* what;
        int second;       // after the first change
        bool change;      // a new change before this timer tick
        bool full;        // the disk at this tick
        bool tried;       // a save was tried
        int reported;     // failures reported so far
        bool unsaved;     // changes not on disk after the tick
    } ticks[] = {
        {"the change, on a full disk", 0, true, true, true, 1, true},
        {"before the retry time", 1, false, true, false, 1, true},
        {"the retry, still full: not told again", 2, false, true, true, 1, true},
        {"a further change is tried at once", 2, true, true, true, 1, true},
        {"a clock set back does not put the retry off", -3600, false, true, true, 1, true},
        {"space freed: the retry saves", 4, false, false, true, 1, false},
        {"nothing left to save", 9, false, false, false, 1, false},
    };
    for (const auto& t : ticks) {
        SCOPED_TRACE(t.what);
        state.now = QDateTime::fromSecsSinceEpoch(start + t.second);
        if (t.change) {
            table.setField(1, Text, QStringLiteral("changed at %1").arg(t.second));
            state.unitModified = true;
        }
        disk.full = t.full;
        const int attemptsBefore = disk.attempts;
        library.autosaveStep();
        EXPECT_EQ(disk.attempts > attemptsBefore, t.tried);
        EXPECT_EQ(failures.size(), t.reported);
        EXPECT_EQ(library.hasUnsavedChanges(), t.unsaved);
        if (t.unsaved) {
            EXPECT_EQ(readAll(dataPath("A")), before);
        }
    }
    EXPECT_EQ(readUnitFile(dataPath("A"), false).rows.at(1)[Text], "changed at 2");
    library.setFileSteps(systemFileSteps());
}

TEST_F(LibraryTest, ClosingTriesOnceMoreAndLeavesTheAskingToTheCaller)
{
    writeUnit("A", {title("T"), sentence("one")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("A")));
    EXPECT_TRUE(library.saveBeforeClosing()); // nothing to save
    FullUntilFreed disk;
    library.setFileSteps(disk);
    table.setField(1, Text, "changed");
    state.unitModified = true;
    failures.clear();
    EXPECT_FALSE(library.saveBeforeClosing());
    EXPECT_TRUE(failures.isEmpty()); // the caller asks the learner with it
    EXPECT_TRUE(library.lastError().contains("No space left on device"));
    EXPECT_TRUE(library.hasUnsavedChanges());
    disk.full = false;
    EXPECT_TRUE(library.saveBeforeClosing());
    EXPECT_FALSE(library.hasUnsavedChanges());
    EXPECT_EQ(readUnitFile(dataPath("A"), false).rows.at(1)[Text], "changed");
    library.setFileSteps(systemFileSteps());
}

TEST_F(LibraryTest, UnitWhoseChangesCannotBeSavedStaysOpen)
{
    writeUnit("A", {title("T"), sentence("one")});
    writeUnit("B", {title("T"), sentence("two")});
    library.ScanDataFolder();
    ASSERT_TRUE(library.OpenUnit(library.positionOf("A")));
    FullUntilFreed disk;
    library.setFileSteps(disk);
    table.setField(1, Text, "changed");
    state.unitModified = true; // not autosaved yet: the switch's own save fails
    failures.clear();
    EXPECT_FALSE(library.OpenUnit(library.positionOf("B")));
    EXPECT_EQ(library.unitName(), "A");
    EXPECT_EQ(library.unitFilePath(), dataPath("A"));
    EXPECT_EQ(table.field(1, Text), "changed");
    ASSERT_EQ(failures.size(), 2);
    EXPECT_TRUE(failures.first().contains("No space left on device"));
    EXPECT_EQ(failures.last(), "the Unit 'A' stays open until its changes are saved");
    EXPECT_TRUE(library.hasUnsavedChanges());
    // Once there is space, the switch saves them first.
    disk.full = false;
    EXPECT_TRUE(library.OpenUnit(library.positionOf("B")));
    EXPECT_EQ(library.unitName(), "B");
    EXPECT_EQ(readUnitFile(dataPath("A"), false).rows.at(1)[Text], "changed");
    // A Unit without changes is left as ever while the disk is full.
    disk.full = true;
    writeUnit("C", {title("T")});
    library.listDataFolder();
    EXPECT_TRUE(library.OpenUnit(library.positionOf("C")));
    EXPECT_EQ(library.unitName(), "C");
    library.setFileSteps(systemFileSteps());
}
