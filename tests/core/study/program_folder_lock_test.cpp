// One writer at a time in a program folder.
#include "core/study/program_folder_lock.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
