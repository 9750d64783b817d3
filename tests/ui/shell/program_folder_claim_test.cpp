// SPDX-License-Identifier: GPL-3.0-or-later
// Taking the program folder at start-up: a lock that cannot be had is told
// to the learner and stops the start.
#include "core/study/program_folder.h"
#include "core/study/program_folder_lock.h"
#include "ui/import/modal_script.h"
#include "ui/shell/program_folder_claim.h"

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace dictora {
namespace {

using namespace std::chrono_literals;

TEST(ProgramFolderClaim, LockThatCannotBeTakenIsToldAndRefused)
{
    QTemporaryDir dir;
    const ProgramFolder folder{dir.path() + "/"};
    const struct {
        const char* what;
        std::function<void(ProgramFolderLock&)> other; // what holds or blocks the folder
        QString shown;
    } cases[] = {
        {"a folder in place of the lock file",
         [&](ProgramFolderLock&) { QDir().mkdir(folder.file("Dictora.lock")); },
         "无法占用程序文件夹 " + folder.path + " 来写入: " + folder.file("Dictora.lock") +
             " 不是普通文件; 请删除它, 否则 Dictora 无法让其他写入者等待"},
        {"a command still writing",
         [](ProgramFolderLock& other) {
             other.take(ProgramFolderLock::Holder::Command, "import", 0ms);
         },
         "数据文件夹 " + folder.path + " 正在被另一个程序写入 (dictora-cli import " +
             QString::number(QCoreApplication::applicationPid()) +
             ")。\n请等它结束后再启动 Dictora。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolderLock other(folder);
        c.other(other);
        test::ModalScript script;
        QString shown;
        script.then([&](QDialog& box) {
            shown = static_cast<QMessageBox&>(box).text();
            box.accept();
        });
        ProgramFolderLock lock(folder);
        EXPECT_FALSE(claimProgramFolder(lock, folder, 0ms));
        EXPECT_FALSE(lock.isTaken());
        EXPECT_EQ(script.shown(), 1);
        EXPECT_EQ(shown, c.shown);
        QDir().rmdir(folder.file("Dictora.lock"));
    }
    // A free folder is taken without a word.
    test::ModalScript none;
    ProgramFolderLock lock(folder);
    EXPECT_TRUE(claimProgramFolder(lock, folder, 0ms));
    EXPECT_TRUE(lock.isTaken());
    EXPECT_EQ(none.shown(), 0);
}

} // namespace
} // namespace dictora
