// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/single_instance.h"

#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

namespace dictora {
namespace {

// Every file below a folder with its size and modification time, to see
// that nothing was written.
QStringList snapshot(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        entries << QStringLiteral("%1 %2 %3")
                       .arg(info.filePath())
                       .arg(info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstEnds)
{
    QTemporaryDir runtime;
    auto first = std::make_unique<SingleInstance>(runtime.path());
    ASSERT_EQ(first->acquire(), SingleInstance::Outcome::Acquired);
    EXPECT_EQ(first->acquire(), SingleInstance::Outcome::Acquired); // asking again keeps it
    EXPECT_TRUE(QFile::exists(first->lockFilePath()));
    EXPECT_TRUE(first->lockFilePath().endsWith(QStringLiteral("Global_Dictora.exe.lock")));

    SingleInstance second(runtime.path());
    EXPECT_EQ(second.acquire(), SingleInstance::Outcome::AnotherCopyRuns);

    first.reset();
    EXPECT_FALSE(QFile::exists(runtime.filePath(QStringLiteral("Global_Dictora.exe.lock"))));
    SingleInstance third(runtime.path());
    EXPECT_EQ(third.acquire(), SingleInstance::Outcome::Acquired);
}

TEST(SingleInstance, LockLeftByACrashedCopyIsTakenOver)
{
    QTemporaryDir runtime;
    QFile stale(runtime.filePath(QStringLiteral("Global_Dictora.exe.lock")));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    // A process id far beyond any live one, in the lock file's own format.
    stale.write("2147483000\ndictora\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    SingleInstance instance(runtime.path());
    EXPECT_EQ(instance.acquire(), SingleInstance::Outcome::Acquired);
}

TEST(SingleInstance, FolderWhereNoLockCanBeMadeLetsTheProgramRun)
{
    QTemporaryDir temp;
    QFile inTheWay(temp.filePath(QStringLiteral("run")));
    ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    SingleInstance instance(inTheWay.fileName());
    EXPECT_EQ(instance.acquire(), SingleInstance::Outcome::Unavailable);
}

// Without XDG_RUNTIME_DIR the lock and the socket live in this user's own
// folder in the temporary folder.
QString userFolderIn(const QString& tmp)
{
    return tmp + QStringLiteral("/dictora-") + QString::number(::geteuid());
}

// The environment of a second Dictora started beside the running one: the
// same temporary folder (where the instance socket lives) and its own home.
QProcessEnvironment secondProgramEnvironment(const QString& tmp, const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    env.insert(QStringLiteral("TMPDIR"), tmp);
    env.insert(QStringLiteral("DICTORA_HOME"), home);
    return env;
}

TEST(SingleInstance, SecondProgramEndsAtOnceWithoutWritingAnything)
{
    // No XDG_RUNTIME_DIR: the lock lives in the user's folder in TMPDIR, where Qt
    // would also make its fallback runtime folder if the refused copy got as
    // far as Qt.
    QTemporaryDir temp;
    const QString tmp = temp.filePath(QStringLiteral("tmp"));
    const QString home = temp.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(tmp));

    SingleInstance running(userFolderIn(tmp));
    ASSERT_EQ(running.acquire(), SingleInstance::Outcome::Acquired);
    running.listen();
    const QStringList before = snapshot(temp.path());

    QProcess second;
    QProcessEnvironment env = secondProgramEnvironment(tmp, home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(DICTORA_PROGRAM), {});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(home));
    EXPECT_EQ(snapshot(temp.path()), before);
}

TEST(SingleInstance, SecondProgramHandsItsFilesToTheRunningCopy)
{
    QTemporaryDir temp;
    const QString tmp = temp.filePath(QStringLiteral("tmp"));
    const QString home = temp.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(tmp));

    SingleInstance running(userFolderIn(tmp));
    ASSERT_EQ(running.acquire(), SingleInstance::Outcome::Acquired);
    QStringList handed;
    QEventLoop loop;
    running.listen([&](const QStringList& paths) {
        handed += paths;
        loop.quit();
    });
    const QStringList before = snapshot(temp.path());

    // As a file manager starts it: a relative name in the file's folder, a
    // URL, and one of Qt's own options on the way.
    QProcess second;
    QProcessEnvironment env = secondProgramEnvironment(tmp, home);
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(temp.path());
    second.start(QStringLiteral(DICTORA_PROGRAM),
                 {QStringLiteral("-platform"), QStringLiteral("offscreen"),
                  QStringLiteral("lesson 1.srt"), QStringLiteral("file:///tmp/%E8%AF%BE.lrc")});
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    loop.exec();
    // The event loop above may have seen it end already.
    ASSERT_TRUE(second.state() == QProcess::NotRunning || second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(handed, (QStringList{temp.filePath(QStringLiteral("lesson 1.srt")),
                                   QStringLiteral("/tmp/课.lrc")}));
    EXPECT_FALSE(QFileInfo::exists(home));
    EXPECT_EQ(snapshot(temp.path()), before);

    // A plain second start is still only a knock: nothing is handed over.
    QProcess third;
    third.setProcessEnvironment(env);
    third.start(QStringLiteral(DICTORA_PROGRAM), {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    ASSERT_TRUE(third.waitForFinished(15000));
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(handed.size(), 2);
}

TEST(SingleInstance, FirstProgramMakesItsFolders)
{
    // The same start without a running copy does go on: it makes the program
    // folder, which shows the refusal above is the lock's doing.
    QTemporaryDir temp;
    const QString runtime = temp.filePath(QStringLiteral("run"));
    const QString home = temp.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("DICTORA_HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("DICTORA_REPORT_FIRST_FRAME"), QStringLiteral("1"));
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(DICTORA_PROGRAM), {});
    ASSERT_TRUE(first.waitForFinished(15000));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_TRUE(first.readAllStandardOutput().startsWith("first-frame-ms "));
    for (const char* name : {"Data", "Backup", "Cfg", "Record", "Media"})
        EXPECT_TRUE(QFileInfo(home + QLatin1Char('/') + name).isDir()) << name;
    EXPECT_TRUE(QFileInfo::exists(home + QStringLiteral("/Cfg/Match.wav")));
    // The lock is gone with the program.
    EXPECT_FALSE(QFileInfo::exists(runtime + QStringLiteral("/Global_Dictora.exe.lock")));
}

} // namespace
} // namespace dictora
