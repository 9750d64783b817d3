// SPDX-License-Identifier: GPL-3.0-or-later
// Closing the program while an autosave has failed: one more try, then the
// learner decides, and nothing is dropped unasked.
#include "core/study/file_replacement.h"
#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/unit_file.h"
#include "core/study/unit_library.h"
#include "ui/import/modal_script.h"
#include "ui/shell/frame_dialog.h"
#include "ui/widgets/study_services.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

namespace dictora {
namespace {

// A disk that is full until space is freed.
class FillingDisk : public FileSteps {
public:
    bool full = true;
    bool write(std::FILE* file, const char* data, size_t size) override
    {
        if (full) {
            errno = ENOSPC;
            return false;
        }
        return FileSteps::write(file, data, size);
    }
};

struct UnsavedChangesOnClose : ::testing::Test {
    QTemporaryDir home;
    ProgramFolder folder{home.path() + u'/'};
    StudyState state;
    SentenceTable table;
    std::unique_ptr<UnitLibrary> library;
    StudyServices services{state, table, folder};
    FillingDisk disk;
    test::ModalScript script;
    QStringList prompts;
    QString failureShown;

    QString notebookPath() const { return folder.dataFolder() + QStringLiteral("生句本.dat"); }

    void SetUp() override
    {
        createDataFolders(folder);
        library = std::make_unique<UnitLibrary>(folder, state, table);
        services.folder = folder;
        services.library = library.get();
    }
    // The learner's answer to the next prompt: the button of that name,
    // clicked after running `before`.
    void answer(const char* button, std::function<void()> before = {})
    {
        script.then([this, button, before](QDialog& box) {
            prompts << static_cast<QMessageBox&>(box).text();
            if (before)
                before();
            box.findChild<QPushButton*>(QString::fromLatin1(button))->click();
        });
    }
    // A change to the open Notebook whose autosave fails on the full disk.
    void changeWhileTheDiskIsFull()
    {
        library->setFileSteps(disk);
        SentenceRow row = makeSentenceRow();
        row[Text] = QStringLiteral("new sentence");
        table.appendRow(row);
        state.unitModified = true;
        // The failed autosave is told at once, in the library's own box.
        script.then([this](QDialog& box) {
            failureShown = static_cast<QMessageBox&>(box).text();
            box.accept();
        });
        library->autosaveStep();
        ASSERT_TRUE(library->hasUnsavedChanges());
    }
};

TEST_F(UnsavedChangesOnClose, SaveAgainKeepsAskingUntilTheChangesAreSaved)
{
    auto frame = std::make_unique<FrameDialog>(services, DesktopProbe{});
    frame->start();
    changeWhileTheDiskIsFull();
    // Still full at the first answer; space is freed before the second.
    answer("saveAgain");
    answer("saveAgain", [this] { disk.full = false; });
    frame->close();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(script.shown(), 3);
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_EQ(failureShown,
              QStringLiteral("无法保存 %1: 磁盘已满 (写入新副本时); 原文件保持不变").arg(notebookPath()));
    ASSERT_FALSE(prompts.isEmpty());
    EXPECT_EQ(prompts.first(),
              QStringLiteral("单元 \"生句本\" 的修改还没有保存:\n无法保存 %1: 磁盘已满 "
                             "(写入新副本时); 原文件保持不变\n\n再保存一次, 还是不保存就关闭?")
                  .arg(notebookPath()));
    EXPECT_FALSE(library->hasUnsavedChanges());
    const UnitReadResult saved = readUnitFile(notebookPath(), true);
    ASSERT_EQ(saved.rows.size(), 1u);
    EXPECT_EQ(saved.rows.front()[Text], QStringLiteral("new sentence"));
    frame.reset();
}

TEST_F(UnsavedChangesOnClose, CloseAnywayLeavesTheFileAsItWas)
{
    auto frame = std::make_unique<FrameDialog>(services, DesktopProbe{});
    frame->start();
    const UnitReadResult before = readUnitFile(notebookPath(), true);
    changeWhileTheDiskIsFull();
    answer("closeAnyway");
    frame->close();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(script.shown(), 2);
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_TRUE(readUnitFile(notebookPath(), true).rows.empty());
    EXPECT_TRUE(before.rows.empty());
    frame.reset();
}

TEST_F(UnsavedChangesOnClose, SavedChangesCloseWithoutAQuestion)
{
    auto frame = std::make_unique<FrameDialog>(services, DesktopProbe{});
    frame->start();
    SentenceRow row = makeSentenceRow();
    row[Text] = QStringLiteral("just now");
    table.appendRow(row);
    state.unitModified = true; // the autosave has not come to it yet
    frame->close();
    EXPECT_EQ(script.shown(), 0);
    EXPECT_EQ(readUnitFile(notebookPath(), true).rows.size(), 1u);
    frame.reset();
}

} // namespace
} // namespace dictora
