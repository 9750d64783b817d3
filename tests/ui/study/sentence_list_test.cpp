// SPDX-License-Identifier: GPL-3.0-or-later
#include "sentence_list_fixture.h"

#include "support/ui/menu_answer.h"

#include "ui/dictation/dictation_form.h"
#include "ui/import/add_content_dialog.h"
#include "ui/media/media_window.h"
#include "ui/study/progress_panel.h"
#include "ui/study/status_item.h"

#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>

namespace dictora {
namespace {

using test::answerNextBox;
using test::answerNextMenu;

class SentenceListTest : public test::SentenceListFixture {
protected:
    // Chooses an item of the context menu opened by a right click on the list.
    std::shared_ptr<test::MenuSeen> choose(const QString& item)
    {
        const auto seen = answerNextMenu(item);
        const QPoint at(600, 650);
        state.cursorPos = list().viewport()->mapToGlobal(at);
        QTest::mouseClick(list().viewport(), Qt::RightButton, {}, at);
        EXPECT_TRUE(seen->shown);
        return seen;
    }
    void drop(const QStringList& paths)
    {
        auto* mime = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        mime->setUrls(urls);
        QDragEnterEvent enter(QPoint(300, 100), Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(list().viewport(), &enter);
        QDropEvent event(QPointF(300, 100), Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(list().viewport(), &event);
        delete mime;
    }
};

TEST_F(SentenceListTest, SelectingASentencePlaysExactlyItsSpan)
{
    clickRow(2);
    EXPECT_EQ(state.currentRow, 2);
    EXPECT_EQ(plays(), QStringList{QStringLiteral("Play MYSHOW From 2000 To 3000")});
    EXPECT_EQ(media.matching(QStringLiteral("Open ")).size(), 1);

    // Clicking the current sentence again while it plays pauses it.
    clickRow(2);
    EXPECT_EQ(media.matching(QStringLiteral("Pause MYSHOW")).size(), 1);

    // The key moves the selection, which plays the next sentence's span.
    media.log.clear();
    key(Qt::Key_Down);
    EXPECT_EQ(state.currentRow, 3); // a title row: nothing plays
    EXPECT_TRUE(plays().isEmpty());
    key(Qt::Key_Down);
    EXPECT_EQ(plays(), QStringList{QStringLiteral("Play MYSHOW From 500 To 1500")});
    // The first click after the keys only ends the selection's own handling.
    media.log.clear();
    clickRow(4);
    EXPECT_TRUE(media.matching(QStringLiteral("Pause MYSHOW")).isEmpty());
}

TEST_F(SentenceListTest, TimeKeysShiftThePointsOnlyInEditMode)
{
    clickRow(1);
    key(Qt::Key_Right);
    key(Qt::Key_F);
    EXPECT_EQ(table.field(1, EndMs), QStringLiteral("2000")); // Browse mode: nothing
    EXPECT_EQ(list().selectedPoint, -1000);

    choose(QStringLiteral("编 辑"));
    ASSERT_TRUE(state.editMode);
    media.log.clear();
    state.unitModified = false;
    // A click in the end column picks the end point.
    clickRow(1, 250);
    EXPECT_EQ(list().selectedPoint, 2);
    key(Qt::Key_F);
    EXPECT_EQ(table.field(1, EndMs), QStringLiteral("2050"));
    EXPECT_EQ(table.field(2, StartMs), QStringLiteral("2050")); // the next start follows
    EXPECT_TRUE(state.unitModified);
    EXPECT_EQ(plays().last(), QStringLiteral("Play MYSHOW From 1000 To 2050"));

    key(Qt::Key_Left);
    EXPECT_EQ(list().selectedPoint, 1);
    key(Qt::Key_A);
    EXPECT_EQ(table.field(1, StartMs), QStringLiteral("950"));
    key(Qt::Key_D);
    EXPECT_EQ(table.field(1, StartMs), QStringLiteral("1450"));
    EXPECT_EQ(table.field(2, StartMs), QStringLiteral("2550")); // the Section moves together
    EXPECT_EQ(table.field(4, StartMs), QStringLiteral("500"));  // the next Section does not
    key(Qt::Key_E);
    key(Qt::Key_E);
    key(Qt::Key_E);
    EXPECT_EQ(table.field(1, StartMs), QStringLiteral("0")); // stops at the title's end, 0

    // A shift clipped to nothing changes nothing and does not replay.
    const int playsBefore = int(plays().size());
    state.unitModified = false;
    key(Qt::Key_E);
    EXPECT_EQ(table.field(1, StartMs), QStringLiteral("0"));
    EXPECT_FALSE(state.unitModified);
    EXPECT_EQ(plays().size(), playsBefore);

    // The edit menu offers the time items for the chosen point.
    const auto seen = choose({});
    EXPECT_TRUE(seen->items.contains(QStringLiteral("起点提前 -50ms (A)")));
    EXPECT_TRUE(seen->items.contains(QStringLiteral("整体推后 +500ms (D)")));
}

TEST_F(SentenceListTest, DeleteSectionAsksThenRemovesTheTitleAndItsSentences)
{
    choose(QStringLiteral("编 辑"));
    // The middle Section: stops at the next title. No leaves all as it was.
    clickRow(0);
    auto box = answerNextBox(QMessageBox::No);
    choose(QStringLiteral("删除标题及内容"));
    EXPECT_EQ(box->caption, QStringLiteral("删除操作"));
    EXPECT_EQ(box->text,
              QStringLiteral("确认删除 课文 里面 第一课 (第 1 行, 首句: one) 所有内容 ?"));
    EXPECT_EQ(table.rowCount(), 6);

    // The answer box showed a sentence of the Section; it goes with it. On
    // the sentence row the item is there, greyed, and cannot be chosen.
    clickRow(1);
    const auto onSentence = choose(QStringLiteral("删除标题及内容"));
    EXPECT_TRUE(onSentence->disabled.contains(QStringLiteral("删除标题及内容")));
    EXPECT_TRUE(onSentence->disabledGreyed);
    EXPECT_EQ(table.rowCount(), 6);
    clickRow(0);
    ASSERT_EQ(panel->dictationForm()->answerBox()->toPlainText(), QStringLiteral("one"));
    box = answerNextBox(QMessageBox::Yes);
    media.log.clear();
    choose(QStringLiteral("删除标题及内容"));
    EXPECT_TRUE(panel->dictationForm()->answerBox()->toPlainText().isEmpty());
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.field(0, SectionTitle), QStringLiteral("第二课"));
    EXPECT_EQ(state.currentRow, kNone);
    EXPECT_TRUE(state.mediaFilePath.isEmpty());
    EXPECT_TRUE(state.unitModified);
    EXPECT_TRUE(media.log.contains(QStringLiteral("Close MYSHOW ")));

    // The last Section: every row to the end goes.
    clickRow(0);
    EXPECT_EQ(state.currentRow, 0);
    answerNextBox(QMessageBox::Yes);
    const auto seen = choose(QStringLiteral("删除标题及内容"));
    EXPECT_EQ(table.rowCount(), 0);
    EXPECT_FALSE(seen->disabled.contains(QStringLiteral("删除标题及内容")));
}

TEST_F(SentenceListTest, ModesSwitchAsTheMenusSay)
{
    // The listening items follow the mode items in both menus.
    const QStringList listening{"-", "重播本句 (Ctrl+R)", "慢速重播 (Ctrl+Shift+R)",
                                "单句循环 (Ctrl+L)", "播放设置"};
    auto seen = choose(QStringLiteral("编 辑"));
    EXPECT_EQ(seen->items, (QStringList{"静音", "逐行播放", "-", "【听 写】", "-", "编 辑", "-",
                                        "清除记录"} +
                            listening + QStringList{"-", "学习记录", "导出…", "?"}));
    EXPECT_TRUE(seen->checked.isEmpty());
    EXPECT_TRUE(state.editMode);

    // The edit menu replaces the main menu; without a current row it has
    // neither the row items nor the time items.
    seen = choose(QStringLiteral(" --- 编 辑 --- "));
    EXPECT_EQ(seen->items, (QStringList{" --- 编 辑 --- ", "-", "插入行(后续)"} + listening +
                            QStringList{"-", "?"}));
    EXPECT_TRUE(state.isBrowseMode());

    clickRow(1);
    seen = choose(QStringLiteral("逐行播放"));
    EXPECT_TRUE(state.lineByLineMode);
    seen = choose(QStringLiteral("【听 写】"));
    EXPECT_EQ(seen->checked, QStringList{QStringLiteral("逐行播放")});
    EXPECT_TRUE(state.dictationMode);
    EXPECT_FALSE(state.lineByLineMode);
    EXPECT_TRUE(media.log.contains(QStringLiteral("Stop MYSHOW ")));
    EXPECT_EQ(state.currentRow, 1); // the first sentence still to study

    seen = choose(QStringLiteral("编 辑"));
    EXPECT_EQ(seen->checked, QStringList{QStringLiteral("【听 写】")});
    EXPECT_TRUE(state.editMode);
    EXPECT_FALSE(state.dictationMode);
    // The media window opens the main menu also in Edit mode.
    seen = answerNextMenu(QStringLiteral("逐行播放"));
    list().ShowMainMenu(QPoint(600, 500));
    EXPECT_EQ(seen->checked, QStringList{QStringLiteral("编 辑")});
    EXPECT_TRUE(state.lineByLineMode);
    EXPECT_FALSE(state.editMode);
    choose(QStringLiteral("逐行播放"));
    EXPECT_TRUE(state.isBrowseMode());

    seen = choose(QStringLiteral("静音"));
    EXPECT_FALSE(state.soundOn);
    seen = choose(QStringLiteral("编 辑"));
    EXPECT_EQ(seen->checked, QStringList{QStringLiteral("静音")});
    EXPECT_TRUE(state.soundOn); // a switch of Edit mode turns the sound on again
    choose(QStringLiteral(" --- 编 辑 --- "));

    // With every sentence done there is nothing to dictate.
    for (int row : {1, 2, 4, 5})
        table.setField(row, Done, QStringLiteral("1"));
    choose(QStringLiteral("【听 写】"));
    EXPECT_TRUE(state.isBrowseMode());
    EXPECT_EQ(tip().text(), QStringLiteral("请增加内容或选择其他单元"));
}

TEST_F(SentenceListTest, EditModeOnANearlyEmptyUnitHintsAtAddingFiles)
{
    ASSERT_TRUE(library->createUnit(QStringLiteral("新单元")).ok);
    choose(QStringLiteral("编 辑"));
    ASSERT_TRUE(state.editMode);
    // The mode item turns to Edit mode on its next tick; the hint stays.
    panel->progressPanel()->item(StatusItemType::Mode)->tick();
    EXPECT_EQ(panel->progressPanel()->item(StatusItemType::Mode)->label(), "编辑模式");
    EXPECT_TRUE(tip().tipVisible());
    EXPECT_EQ(tip().text(), QStringLiteral("可以拖动文件添加内容"));
}

TEST_F(SentenceListTest, NextLineEndsLineByLinePlayAtTheEnd)
{
    clickRow(4);
    choose(QStringLiteral("逐行播放"));
    list().NextLine();
    EXPECT_EQ(state.currentRow, 5);
    EXPECT_TRUE(state.lineByLineMode);
    media.log.clear();
    list().NextLine();
    EXPECT_FALSE(state.lineByLineMode);
    EXPECT_EQ(media.log, QStringList{QStringLiteral("Stop MYSHOW ")});
}

TEST_F(SentenceListTest, DropsAreRefusedWithTheirTipAndCue)
{
    const QString srt = home.filePath(QStringLiteral("lesson one.srt"));
    drop({srt});
    EXPECT_EQ(media.log, QStringList{QStringLiteral("Play ERROR_WAV From 0 ")});
    EXPECT_TRUE(tip().tipVisible());
    EXPECT_EQ(tip().text(), QStringLiteral("请切换到编辑模式先"));

    choose(QStringLiteral("编 辑"));
    media.log.clear();
    drop({home.filePath(QStringLiteral("notes.doc")), home.filePath(QStringLiteral("README"))});
    EXPECT_EQ(media.log, QStringList{QStringLiteral("Play ERROR_WAV From 0 ")});
    EXPECT_EQ(tip().text(), QStringLiteral("文本,字幕,音乐,视频"));

    openUnit(QStringLiteral("生句本"));
    EXPECT_TRUE(state.isBrowseMode()); // opening a Unit ends Edit mode
    state.editMode = true;
    media.log.clear();
    const int rows = table.rowCount();
    drop({srt});
    EXPECT_EQ(media.log, QStringList{QStringLiteral("Play ERROR_WAV From 0 ")});
    EXPECT_EQ(tip().text(), QStringLiteral("生句本不能批量操作"));
    EXPECT_EQ(table.rowCount(), rows);
}

TEST_F(SentenceListTest, InsertAndTitleItemsEditTheCurrentRow)
{
    choose(QStringLiteral("编 辑"));
    clickRow(1);
    choose(QStringLiteral("插入行(后续)"));
    ASSERT_EQ(table.rowCount(), 7);
    EXPECT_EQ(table.field(2, StartMs), QStringLiteral("2000"));
    EXPECT_EQ(table.field(2, EndMs), QStringLiteral("2000"));
    EXPECT_EQ(state.currentRow, 1);
    choose(QStringLiteral("本行设置成标题"));
    EXPECT_TRUE(table.isTitleRow(1));
    clickRow(2);
    ASSERT_EQ(panel->dictationForm()->answerBox()->toPlainText(), QStringLiteral(""));
    clickRow(3);
    ASSERT_EQ(panel->dictationForm()->answerBox()->toPlainText(), QStringLiteral("two"));
    choose(QStringLiteral("删除本行"));
    EXPECT_TRUE(panel->dictationForm()->answerBox()->toPlainText().isEmpty());
    EXPECT_EQ(table.rowCount(), 6);
    EXPECT_EQ(state.currentRow, kNone);
    EXPECT_FALSE(list().selectionModel()->hasSelection());
}

} // namespace
} // namespace dictora

namespace dictora {
namespace {

TEST_F(SentenceListTest, SubtitleAndMediaDroppedTogetherMakeOneSection)
{
    const QString srt = home.filePath(QStringLiteral("talk.srt"));
    QFile subtitles(srt);
    ASSERT_TRUE(subtitles.open(QIODevice::WriteOnly));
    subtitles.write("1\r\n00:00:01,000 --> 00:00:02,500\r\nHello there.\r\n\r\n"
                    "2\r\n00:00:03,000 --> 00:00:04,000\r\nGood bye.\r\n\r\n");
    subtitles.close();
    const QString mp3 = home.filePath(QStringLiteral("talk.mp3"));
    QFile audio(mp3);
    ASSERT_TRUE(audio.open(QIODevice::WriteOnly));
    audio.write("fake");
    audio.close();

    choose(QStringLiteral("编 辑"));
    clickRow(5);
    int dialogs = 0;
    QTimer confirm;
    confirm.setInterval(5);
    QObject::connect(&confirm, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<AddContentDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        ++dialogs;
        EXPECT_EQ(list().openDialog, dialog);
        dialog->okButton()->click();
    });
    confirm.start();
    drop({mp3, srt});
    confirm.stop();

    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(list().openDialog.isNull());
    ASSERT_EQ(table.rowCount(), 9);
    EXPECT_TRUE(table.isTitleRow(6));
    EXPECT_EQ(table.field(7, Text), QStringLiteral(" Hello there."));
    EXPECT_EQ(table.field(8, Text), QStringLiteral(" Good bye."));
    EXPECT_EQ(table.field(7, MediaName), QStringLiteral("talk.mp3"));
}

} // namespace
} // namespace dictora

namespace dictora {
namespace {

TEST_F(SentenceListTest, DoubleClickOnTheCurrentTitleInEditModeOpensItsContent)
{
    choose(QStringLiteral("编 辑"));
    clickRow(0);
    EXPECT_EQ(tip().text(), QStringLiteral("双击配置"));
    QString title;
    QTimer cancel;
    cancel.setInterval(5);
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<AddContentDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        title = dialog->titleField()->text();
        dialog->cancelButton()->click();
    });
    cancel.start();
    QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, rowPoint(0));
    cancel.stop();
    EXPECT_EQ(title, QStringLiteral("第一课"));
    EXPECT_EQ(table.rowCount(), 6);

    // Outside Edit mode a double click on a title does nothing.
    choose(QStringLiteral(" --- 编 辑 --- "));
    title.clear();
    cancel.start();
    QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, rowPoint(0));
    cancel.stop();
    EXPECT_TRUE(title.isEmpty());
}

} // namespace
} // namespace dictora

namespace dictora {
namespace {

TEST_F(SentenceListTest, TheMediaWindowOpensTheMainMenuAlsoInEditMode)
{
    choose(QStringLiteral("编 辑"));
    QWidget* media = panel->mediaWindow();
    media->setGeometry(1200, 100, 300, 200);
    media->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(media));
    const auto seen = answerNextMenu({});
    emit panel->contextMenuRequested(media->mapToGlobal(QPoint(50, 50)));
    EXPECT_EQ(seen->items.first(), QStringLiteral("静音"));
    media->hide();
}

} // namespace
} // namespace dictora
