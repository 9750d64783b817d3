// SPDX-License-Identifier: GPL-3.0-or-later
// One writer at a time in a program folder.
#include "core/study/program_folder_lock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace dictora;
using namespace std::chrono_literals;

using Holder = ProgramFolderLock::Holder;
using Outcome = ProgramFolderLock::Outcome;

TEST(ProgramFolderLock, OneHolderAtATimeAndWhoHoldsItIsNamed)
{
    QTemporaryDir dir;
    const ProgramFolder folder{dir.path() + "/"};
    const QString pid = QString::number(QCoreApplication::applicationPid());
    const struct {
        const char* what;
        Holder first;
        Holder second;
        Outcome outcome;
        QString holder;
    } cases[] = {
        // A command is never kept waiting for the program: it keeps the
        // folder until the learner closes it.
        {"command while the program runs", Holder::Program, Holder::Command, Outcome::HeldByProgram,
         "dictora " + pid},
        {"command while another command writes", Holder::Command, Holder::Command,
         Outcome::HeldByCommand, "dictora-cli import " + pid},
        {"program while a command writes", Holder::Command, Holder::Program, Outcome::HeldByCommand,
         "dictora-cli import " + pid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolderLock first(folder);
        ASSERT_EQ(first.take(c.first, "import", 0ms), Outcome::Taken);
        EXPECT_TRUE(first.isTaken());
        ProgramFolderLock second(folder);
        EXPECT_EQ(second.take(c.second, "new", 0ms), c.outcome);
        EXPECT_FALSE(second.isTaken());
        EXPECT_EQ(second.holderText(), c.holder);
        first.release();
        EXPECT_EQ(second.take(c.second, "new", 0ms), Outcome::Taken);
    }
    // Going out of scope lets go.
    {
        ProgramFolderLock held(folder);
        ASSERT_EQ(held.take(Holder::Command, "units", 0ms), Outcome::Taken);
    }
    ProgramFolderLock after(folder);
    EXPECT_EQ(after.take(Holder::Program, {}, 0ms), Outcome::Taken);
}

TEST(ProgramFolderLock, FolderThatIsNotThereIsAFailureThatSaysWhy)
{
    QTemporaryDir dir;
    ProgramFolderLock lock(ProgramFolder{dir.path() + "/missing/"});
    EXPECT_EQ(lock.take(Holder::Command, "new", 0ms), Outcome::Failed);
    EXPECT_TRUE(lock.errorString().contains("No such file or directory"))
        << lock.errorString().toStdString();
}

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

TEST(ProgramFolderLock, OnlyTheUsersOwnPlainFileIsUsedAndNothingElseIsTouched)
{
    // Whatever stands at Dictora.lock, the file it leads to keeps its bytes.
    const QByteArray unitBytes("a learner's Unit, not a lock\n");
    const struct {
        const char* what;
        std::function<void(const QString& lock, const QString& unit)> make;
        const char* why;
    } cases[] = {
        {"link to a Unit in the folder",
         [](const QString& lock, const QString& unit) { QFile::link(unit, lock); },
         "is a symbolic link"},
        {"dangling link", [](const QString& lock,
                             const QString& unit) { QFile::link(unit + ".missing", lock); },
         "is a symbolic link"},
        {"hard link to a Unit",
         [](const QString& lock, const QString& unit) {
             ::link(QFile::encodeName(unit).constData(), QFile::encodeName(lock).constData());
         },
         "hard link"},
        {"folder", [](const QString& lock, const QString&) { QDir().mkdir(lock); },
         "is not a plain file"},
        {"FIFO",
         [](const QString& lock, const QString&) {
             ::mkfifo(QFile::encodeName(lock).constData(), 0600);
         },
         "is not a plain file"},
        {"another user's file",
         [](const QString& lock, const QString&) {
             QFile file(lock);
             file.open(QIODevice::WriteOnly);
             file.close();
             if (::chown(QFile::encodeName(lock).constData(), 65534, 65534) != 0)
                 ::unlink(QFile::encodeName(lock).constData()); // not root: the case is skipped
         },
         "belongs to another user"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const ProgramFolder folder{dir.path() + "/"};
        const QString lockPath = folder.file("Dictora.lock");
        const QString unit = dir.filePath("Lesson.dat");
        {
            QFile file(unit);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(unitBytes);
        }
        c.make(lockPath, unit);
        if (!QFileInfo(lockPath).exists() && !QFileInfo(lockPath).isSymLink())
            continue; // could not be set up here
        ProgramFolderLock lock(folder);
        EXPECT_EQ(lock.take(Holder::Command, "new", 0ms), Outcome::Failed);
        EXPECT_FALSE(lock.isTaken());
        EXPECT_TRUE(lock.errorString().contains(lockPath)) << lock.errorString().toStdString();
        EXPECT_TRUE(lock.errorString().contains(c.why)) << lock.errorString().toStdString();
        EXPECT_EQ(lock.failureMessage(folder.path),
                  "cannot take the program folder " + folder.path +
                      " for writing: " + lock.errorString());
        EXPECT_EQ(contentOf(unit), unitBytes);
        EXPECT_FALSE(QFileInfo::exists(unit + ".missing"));
    }
}

TEST(ProgramFolderLock, HolderNameIsWrittenOverTheFirstLineWithoutTruncating)
{
    QTemporaryDir dir;
    const ProgramFolder folder{dir.path() + "/"};
    const QString lockPath = folder.file("Dictora.lock");
    {
        QFile old(lockPath);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("dictora-cli import 4194304 from an earlier run\nmore\n");
    }
    const qint64 sizeBefore = QFileInfo(lockPath).size();
    const QString pid = QString::number(QCoreApplication::applicationPid());
    ProgramFolderLock holder(folder);
    ASSERT_EQ(holder.take(Holder::Program, {}, 0ms), Outcome::Taken);
    EXPECT_EQ(QFileInfo(lockPath).size(), sizeBefore);
    EXPECT_TRUE(contentOf(lockPath).startsWith("dictora " + pid.toUtf8() + "\n"));
    ProgramFolderLock waiter(folder);
    EXPECT_EQ(waiter.take(Holder::Command, "new", 0ms), Outcome::HeldByProgram);
    EXPECT_EQ(waiter.holderText(), "dictora " + pid);
    holder.release();
    // Released: no name is left for the next one who waits to misread.
    EXPECT_TRUE(contentOf(lockPath).startsWith("\n"));
    EXPECT_EQ(QFileInfo(lockPath).size(), sizeBefore);
}
