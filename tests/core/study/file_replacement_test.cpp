// Full disks and failing devices: every step of replacing a file is checked,
// the first failure is reported, and the old file keeps its exact bytes.
#include "core/study/file_replacement.h"
#include "core/study/unit_file.h"

#include "library_fixture.h"

#include <QDir>
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
        {".Alpha.dat.Ab3dE9", true},
        {".生句本.dat.qwerty", true},
        {".Alpha (20260615_151500 备份).dat.XY12ab", true},
        {"Alpha.dat.Ab3dE9", false}, // the learner's own, e.g. "Alpha.dat.backup"
        {".Alpha.dat", false},
        {".Alpha.dat.Ab3dE", false},
        {".Alpha.dat.Ab3dE9x", false},
        {".Alpha.dat.Ab-dE9", false},
        {".Alpha.txt.Ab3dE9", false},
        {"Alpha (损坏 20260615_151500).dat", false},
        {"..dat.Ab3dE9", false},
    };
    for (const auto& [name, temporary] : cases)
        EXPECT_EQ(isTemporaryFileName(name), temporary) << name;
}

TEST_F(LibraryTest, ScanRemovesStaleTemporaryFilesAndNothingElse)
{
    writeUnit("Alpha", {title("T")});
    const QStringList stale{folder.dataFolder() + ".Alpha.dat.Xk29Qa",
                            folder.backupFolder() + ".Alpha (20260601_080000 备份).dat.a1B2c3"};
    const QStringList kept{folder.dataFolder() + "Alpha.dat.backup",
                           folder.dataFolder() + "notes.txt",
                           folder.backupFolder() + "Alpha (20260601_080000 备份).dat"};
    for (const QString& path : stale + kept)
        ASSERT_TRUE(writeAll(path, "x"));
    library.ScanDataFolder();
    for (const QString& path : stale)
        EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
    for (const QString& path : kept)
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    EXPECT_EQ(library.unitNames(), (QStringList{"生句本", "Alpha"}));
}
