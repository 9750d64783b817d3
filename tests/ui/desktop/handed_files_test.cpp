// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import/modal_script.h"

#include "platform/media/gst_media_commands.h"
#include "support/print_qstring.h"
#include "support/ui/study_screen.h"
#include "ui/desktop/handed_files_handler.h"
#include "ui/import/add_content_dialog.h"
#include "ui/study/sentence_list.h"
#include "ui/widgets/sound_cues.h"
#include "ui/widgets/tip_window.h"

#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace dictora {
namespace {

// The study screen with the Sentence Notebook open first, as at start-up,
// and a Unit "Lesson 1" in the library.
struct HandedFiles : ::testing::Test, test::StudyScreen {
    GstMediaCommands media;
    std::unique_ptr<QWidget> frame = std::make_unique<QWidget>();

    ~HandedFiles() override { closeStudyScreen(); }

    void SetUp() override
    {
        prepareProgramFolder(folder);
        buildStudyScreen({.media = &media, .parent = frame.get()});
        panel->sentenceList()->show();
        frame->resize(800, 600);
        frame->show();
        openFirstUnit();
        media.clearCommandLog();
    }

    QString write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(home.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QString tip() const { return panel->tipWindow()->text(); }
};

TEST_F(HandedFiles, TheOpenUnitsAddContentDialogOpensInEditModeAsForADrop)
{
    const QString srt = write("lesson.srt", "1\n00:00:01,000 --> 00:00:02,000\nGood morning\n");
    const QString pdf = write("notes.pdf", "%PDF");

    const QString mp3 = write("lesson.mp3", "");

    // With the Notebook open, as at a start with nothing due in it: a new
    // Unit named after the files, in Edit mode; its "标题" Section takes the
    // pair, whichever came first, and Enter confirms.
    ASSERT_TRUE(state.isNotebook);
    test::ModalScript made;
    made.then([&](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); });
    addHandedFiles(*panel, {mp3, srt});
    EXPECT_EQ(made.shown(), 1);
    EXPECT_EQ(library->unitName(), QStringLiteral("lesson"));
    EXPECT_TRUE(state.editMode);
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.field(0, SectionTitle), QStringLiteral("lesson"));
    EXPECT_EQ(table.field(1, MediaPath), mp3);

    // A file that is neither text nor media: the drop's refusal.
    media.clearCommandLog();
    addHandedFiles(*panel, {pdf});
    EXPECT_EQ(tip(), QStringLiteral("文本,字幕,音乐,视频"));
    EXPECT_TRUE(media.commandLog().contains(QStringLiteral("Play ERROR_WAV From 0 ")));

    // With a Unit open in Browse mode: Edit mode comes on and the dialog
    // opens with the subtitle file chosen; the PDF beside it is passed over.
    ASSERT_TRUE(library->createUnit(QStringLiteral("Lesson 1")).ok);
    ASSERT_FALSE(state.isNotebook);
    ASSERT_FALSE(state.editMode);
    test::ModalScript script;
    QString title;
    QString dialogTitle;
    script.then([&](QDialog& dialog) {
        auto* add = qobject_cast<AddContentDialog*>(&dialog);
        ASSERT_NE(add, nullptr);
        title = add->titleField()->text();
        dialogTitle = add->windowTitle();
        dialog.reject();
    });
    addHandedFiles(*panel, {pdf, srt});
    EXPECT_EQ(script.shown(), 1);
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_TRUE(state.editMode);
    EXPECT_EQ(title, QStringLiteral("lesson"));
    EXPECT_TRUE(dialogTitle.startsWith(QStringLiteral("lesson"))) << dialogTitle.toStdString();

    // With no Unit open at all.
    library->CloseUnit();
    addHandedFiles(*panel, {srt});
    EXPECT_EQ(tip(), QStringLiteral("请先在单元列表中新建或打开一个单元,再添加文件"));
    EXPECT_EQ(script.shown(), 1);
}

TEST_F(HandedFiles, AFileGoneBeforeItIsConfirmedIsNamedAsGone)
{
    const QString srt = write("gone.srt", "1\n00:00:01,000 --> 00:00:02,000\nGood morning\n");
    ASSERT_TRUE(library->createUnit(QStringLiteral("Lesson 1")).ok);
    const int rows = table.rowCount();
    test::ModalScript script;
    script.then([&](QDialog& dialog) {
        ASSERT_TRUE(QFile::remove(srt));
        dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    QString message;
    script.then([&](QDialog& box) {
        message = qobject_cast<QMessageBox*>(&box)->text();
        box.accept();
    });
    addHandedFiles(*panel, {srt});
    EXPECT_EQ(script.shown(), 2);
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_EQ(message, QStringLiteral("不能读取文本 %1: 文件不存在.").arg(srt));
    EXPECT_EQ(table.rowCount(), rows);
}

} // namespace
} // namespace dictora
