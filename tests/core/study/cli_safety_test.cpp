// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli as a learner's script meets it: damaged and foreign files, a
// Unit it may not read, two writers at once, Dictora running, the common
// options before the command.
#include "cli_run.h"
#include "study_fixtures.h"

#include "core/study/program_folder_lock.h"
#include "core/study/unit_file.h"
#include "core/study/unit_names.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace dictora;
using namespace dictora::test;

namespace {

class CliSafetyTest : public ::testing::Test {
protected:
    QTemporaryDir home;
    ScopedTimeZone zone{"Asia/Shanghai"};

    CliRun cli(QStringList args, const QStringList& launcher = {})
    {
        return runCli(std::move(args), home.path(), launcher);
    }
    QString dataPath(const QString& name) const { return home.filePath("Data/" + name + ".dat"); }
    void writeUnit(const QString& name, const std::vector<SentenceRow>& rows)
    {
        QDir().mkpath(home.filePath("Data"));
        ASSERT_TRUE(writeAll(dataPath(name), encodeUnit(kNewUnitHeader, rows, false)));
    }
};

} // namespace

// --- the common options ----------------------------------------------------

TEST_F(CliSafetyTest, CommonOptionsStandBeforeTheCommandAsWellAsAfterIt)
{
    const CliRun made = cli({"--home", home.path(), "--now", "20260615120000", "new", "甲"});
    ASSERT_EQ(made.exitCode, 0) << made.error.toStdString();
    EXPECT_TRUE(QFileInfo::exists(dataPath("甲")));
    const CliRun listed = cli({"--verbose", "--home", home.path(), "units"});
    ASSERT_EQ(listed.exitCode, 0) << listed.error.toStdString();
    EXPECT_EQ(listed.json["units"].toArray().size(), 2);
    const CliRun missing = cli({"--home"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.error.contains("--home needs a value")) << missing.error.toStdString();
}

// --- names ------------------------------------------------------------------

TEST_F(CliSafetyTest, NamesWithControlCharactersAreRefusedWithTheNameMessage)
{
    for (const QString name : {"a\nb", "a\tb", "a\x1b[31mb", "a\x7f"}) {
        const CliRun run = cli({"new", name});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.error.contains(unitNameMessage())) << run.error.toStdString();
    }
    EXPECT_EQ(QDir(home.filePath("Data")).entryList(QDir::Files), QStringList{});
}

// --- files that are not Units ----------------------------------------------

TEST_F(CliSafetyTest, ShowRefusesAFileThatIsNotAUnitAndWritesNothing)
{
    QByteArray noise(3000, Qt::Uninitialized);
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char(i * 7919 % 251);
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"empty.dat", {}}, {"notes.txt", "Hello, these are my notes.\n"}, {"noise.bin", noise}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const QString path = home.filePath(name);
        ASSERT_TRUE(writeAll(path, bytes));
        for (const QStringList& args :
             {QStringList{"show", "--file", path}, QStringList{"show", "--file", path, "--save"}}) {
            const CliRun run = cli(args);
            EXPECT_EQ(run.exitCode, 2);
            EXPECT_TRUE(run.error.contains("is not a Unit file")) << run.error.toStdString();
            EXPECT_EQ(readAll(path), bytes);
        }
    }
}

// --- damaged Units ----------------------------------------------------------

TEST_F(CliSafetyTest, DamagedUnitIsToldOnStandardErrorAndKeptInBackup)
{
    QByteArray damaged =
        encodeUnit(kNewUnitHeader, {title("T"), sentence("one"), sentence("two")}, false);
    damaged[damaged.size() - 4] = char(0xF0);
    QDir().mkpath(home.filePath("Data"));
    ASSERT_TRUE(writeAll(dataPath("课"), damaged));
    const CliRun run = cli({"units", "--now", "20260615120000"});
    EXPECT_EQ(run.exitCode, 0) << run.error.toStdString();
    EXPECT_TRUE(run.error.contains("the Unit '课' was damaged")) << run.error.toStdString();
    EXPECT_TRUE(run.error.contains("课 (损坏 20260615_120000).dat")) << run.error.toStdString();
    EXPECT_EQ(readAll(home.filePath("Backup/课 (损坏 20260615_120000).dat")), damaged);
    EXPECT_EQ(readUnitFile(dataPath("课"), false).rows.size(), 3u);
    // Told once: the Unit now reads cleanly.
    EXPECT_EQ(cli({"units"}).error, "");
}

// --- a Unit that cannot be read --------------------------------------------

TEST_F(CliSafetyTest, UnitThatCannotBeReadIsNamedWithTheReason)
{
    // Root reads every file: the commands then run as nobody.
    QStringList launcher;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (setpriv.isEmpty())
            GTEST_SKIP()
                << "running as root without setpriv: a file root cannot read cannot be made";
        launcher = {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    ::chmod(QFile::encodeName(home.path()).constData(), 0777);
    const CliRun first = cli({"units"}, launcher); // the program folder, made by its user
    ASSERT_EQ(first.exitCode, 0) << first.error.toStdString();
    writeUnit("秘", {title("T")});
    ::chmod(QFile::encodeName(dataPath("秘")).constData(), 0);

    const CliRun units = cli({"units"}, launcher);
    EXPECT_EQ(units.exitCode, 1);
    EXPECT_TRUE(units.error.contains("cannot read the Unit file")) << units.error.toStdString();
    EXPECT_TRUE(units.error.contains("Permission denied")) << units.error.toStdString();
    for (const QStringList& args :
         {QStringList{"rename", "秘", "新"}, QStringList{"delete", "秘"}}) {
        const CliRun run = cli(args, launcher);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.error.contains("cannot be read: Permission denied"))
            << run.error.toStdString();
    }
    const CliRun made = cli({"new", "秘"}, launcher);
    EXPECT_EQ(made.exitCode, 2);
    EXPECT_TRUE(made.error.contains("秘 单元名已经存在. (the Unit file"))
        << made.error.toStdString();
    EXPECT_TRUE(QFileInfo::exists(dataPath("秘")));
}

TEST_F(CliSafetyTest, NotebookAddWorksInANewProgramFolder)
{
    writeUnit("课", {title("T"), sentence("Hello.")});
    const CliRun run = cli({"notebook-add", "课", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
    EXPECT_TRUE(run.json["added"].toBool());
    EXPECT_EQ(readUnitFile(dataPath("生句本"), true).rows.size(), 1u);
}

// --- one writer at a time -----------------------------------------------------

TEST_F(CliSafetyTest, TwoImportsAtOnceBothLand)
{
    std::vector<SentenceRow> rows{title("Big")};
    for (int i = 0; i < 20000; ++i)
        rows.push_back(sentence(QString("sentence %1 of a big Unit").arg(i)));
    writeUnit("U", rows);
    const QString first = home.filePath("First.txt");
    const QString second = home.filePath("Second.txt");
    ASSERT_TRUE(writeAll(first, "one\ntwo\n"));
    ASSERT_TRUE(writeAll(second, "three\nfour\n"));
    QProcess a, b;
    for (auto [process, file] : {std::pair{&a, first}, std::pair{&b, second}}) {
        process->setProcessEnvironment(cliEnvironment());
        process->start(DICTORA_CLI_PATH, {"import", file, "--unit", "U", "--home", home.path()});
    }
    const CliRun ranA = finishCli(a);
    const CliRun ranB = finishCli(b);
    EXPECT_EQ(ranA.exitCode, 0) << ranA.error.toStdString();
    EXPECT_EQ(ranB.exitCode, 0) << ranB.error.toStdString();
    QStringList titles;
    for (const SentenceRow& row : readUnitFile(dataPath("U"), false).rows)
        if (row[Kind] == "0")
            titles << row[SectionTitle];
    titles.sort();
    EXPECT_EQ(titles, (QStringList{"Big", "First", "Second"}));
}

TEST_F(CliSafetyTest, WhileDictoraRunsWritingCommandsRefuseAndReadingOnesWork)
{
    writeUnit("课", {title("T"), sentence("one")});
    ProgramFolderLock dictora(ProgramFolder{home.path() + "/"});
    ASSERT_EQ(dictora.take(ProgramFolderLock::Holder::Program, {}, std::chrono::milliseconds(0)),
              ProgramFolderLock::Outcome::Taken);
    const QByteArray before = readAll(dataPath("课"));
    for (const QStringList& args :
         {QStringList{"new", "乙"}, QStringList{"units"}, QStringList{"rename", "课", "乙"},
          QStringList{"show", "课", "--save"}}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.error.contains("Dictora is running with the program folder"))
            << run.error.toStdString();
    }
    EXPECT_EQ(readAll(dataPath("课")), before);
    EXPECT_FALSE(QFileInfo::exists(dataPath("乙")));
    const CliRun shown = cli({"show", "课"});
    EXPECT_EQ(shown.exitCode, 0) << shown.error.toStdString();
    EXPECT_EQ(shown.json["rows"].toArray().size(), 2);
}

// --- false successes --------------------------------------------------------

TEST_F(CliSafetyTest, SpeechIntoAFileThatCannotBeWrittenFails)
{
    // --home is a common option, taken (and of no use) here too.
    const CliRun run = cli({"say", "hi", "--wav", home.filePath("no/such/folder/x.wav")});
    if (run.error.contains("unknown command"))
        GTEST_SKIP() << "a build without the speech commands";
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.error.contains("cannot write")) << run.error.toStdString();
    EXPECT_TRUE(run.error.contains("No such file or directory")) << run.error.toStdString();
}

TEST_F(CliSafetyTest, LibraryNoiseStaysOffStandardErrorUnlessVerbose)
{
    // 10 ms of silence, 8 kHz mono 16-bit.
    QByteArray wave("RIFF", 4);
    const auto put32 = [&wave](uint32_t v) { wave.append(reinterpret_cast<const char*>(&v), 4); };
    const auto put16 = [&wave](uint16_t v) { wave.append(reinterpret_cast<const char*>(&v), 2); };
    put32(36 + 160);
    wave += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(8000);
    put32(16000);
    put16(2);
    put16(16);
    wave += "data";
    put32(160);
    wave += QByteArray(160, '\0');
    const QString path = home.filePath("quiet.wav");
    ASSERT_TRUE(writeAll(path, wave));
    // The system's own output, as a learner's machine (here without a sound
    // card, ALSA explains at length why it finds none).
    QProcessEnvironment env = cliEnvironment();
    env.remove("DICTORA_AUDIO_SINK");
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(DICTORA_CLI_PATH, {"play", path});
    const CliRun run = finishCli(process);
    if (run.error.contains("unknown command"))
        GTEST_SKIP() << "a build without the media commands";
    EXPECT_FALSE(run.error.contains("ALSA lib")) << run.error.toStdString();
    EXPECT_LE(run.error.count('\n'), 1) << run.error.toStdString();
}
