// SPDX-License-Identifier: GPL-3.0-or-later
#include "study_windows_fixture.h"

#include "core/study/window_messages.h"
#include "ui/screensaver/screensaver_window.h"
#include "ui/study/sentence_list.h"
#include "ui/study/unit_list_dialog.h"
#include "ui/widgets/shadow_frame.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWindow>

namespace dictora {
namespace {

class UnitListTest : public test::StudyWindows {
protected:
    UnitListDialog& popup() { return *panel->unitList(); }

    void placePanel()
    {
        panel->setGeometry(100, 50, 1000, 700);
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
        // The splash is over: the pop-up may hide by itself.
        panel->screensaver()->splashStage = 3;
    }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            popup().tick();
    }
};

TEST_F(UnitListTest, ComesUpAtTheLeftEdgeSizedByTheLongestName)
{
    const QString tenCjk = QStringLiteral("一二三四五六七八九十");
    writeUnit(tenCjk, {title("标题"), sentence("一")});
    start();
    placePanel();
    ASSERT_EQ(popup().list()->count(), 2);
    EXPECT_EQ(popup().list()->item(0)->text(), QStringLiteral("生句本"));

    state.cursorPos = QPoint(3, 400);
    ticks(5);
    EXPECT_FALSE(popup().popupShown());
    ticks(1); // over half a second at the edge
    ASSERT_TRUE(popup().isVisible());
    // 16 x 20 + 90 wide; 35 x (2 + 2) is below the least height of 200.
    EXPECT_EQ(popup().geometry(), QRect(102, 50 + 700 - 200 - 90, 410, 200));
    EXPECT_EQ(panel->shadowFrame()->geometry(), QRect(98, 50 + 700 - 200 - 94, 420, 210));
    EXPECT_TRUE(panel->shadowFrame()->isVisible());
    EXPECT_EQ(popup().addButton()->geometry(), QRect(145, 145, 120, 45));
    EXPECT_EQ(popup().addButton()->text(), QStringLiteral("添 加"));

    // Escape and Enter neither close nor pick anything.
    QTest::keyClick(popup().list(), Qt::Key_Escape);
    QTest::keyClick(popup().list(), Qt::Key_Return);
    EXPECT_TRUE(popup().isVisible());

    // While it is the foreground window it stays, for ten seconds.
    state.foregroundWindow = &popup();
    ticks(101);
    EXPECT_TRUE(popup().popupShown());
    ticks(1);
    EXPECT_FALSE(popup().popupShown());
    EXPECT_FALSE(popup().isVisible());
    EXPECT_FALSE(panel->shadowFrame()->isVisible());

    // Shown again, it goes as soon as another window has the foreground.
    ticks(6);
    ASSERT_TRUE(popup().popupShown());
    state.foregroundWindow = panel.get();
    ticks(1);
    EXPECT_FALSE(popup().popupShown());
}

TEST_F(UnitListTest, StaysWhileTheMouseRestsOnTheFirstStatusItem)
{
    placePanel();
    popup().ShowPopup(true);
    // The frame's probe names the progress panel, the top-level window the
    // item lives in.
    StatusItem& total = item(StatusItemType::TotalCompletion);
    state.foregroundWindow = panel.get();
    state.windowUnderCursor = &progress();
    state.cursorPos = total.mapToGlobal(QPoint(5, 5));
    ticks(3);
    EXPECT_TRUE(popup().popupShown());
    // Over the panel but off the item: the pop-up goes.
    state.cursorPos = item(StatusItemType::Mode).mapToGlobal(QPoint(5, 5));
    ticks(1);
    EXPECT_FALSE(popup().popupShown());
}

TEST_F(UnitListTest, HidingLeavesTheForegroundWithAnOpenDialog)
{
    placePanel();
    popup().ShowPopup(true);
    dialog().show();
    dialog().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog()));
    state.foregroundWindow = &dialog();
    ticks(1);
    EXPECT_FALSE(popup().popupShown());
    // The settings dialog belongs to the frame: the frame does not take the
    // foreground from it.
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &dialog());
    dialog().hide();
}

TEST_F(UnitListTest, ComesUpInFrontWhileTheAnswerBoxStillHoldsTheKeyboard)
{
    placePanel();
    // Dictation: the answer box's window has the keyboard when the cursor
    // comes to rest at the edge, and keeps it a while after.
    QWidget* form = panel->floating().dictationForm.data();
    ASSERT_TRUE(form);
    state.foregroundWindow = form;
    state.cursorPos = QPoint(3, 400);
    ticks(6);
    ASSERT_TRUE(popup().popupShown());
    // Above whatever layer the frame is in.
    EXPECT_TRUE(popup().windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    ticks(5);
    EXPECT_TRUE(popup().popupShown()) << "hidden before the window manager handed it the keyboard";
    state.foregroundWindow = &popup();
    ticks(20);
    EXPECT_TRUE(popup().popupShown());
    state.foregroundWindow = form;
    ticks(1);
    EXPECT_FALSE(popup().popupShown());
}

TEST_F(UnitListTest, AWanderingCursorDoesNotBringItUp)
{
    placePanel();
    for (int i = 0; i < 10; ++i) {
        state.cursorPos = QPoint(i % 2 == 0 ? 0 : 300, 400);
        popup().tick();
    }
    EXPECT_FALSE(popup().popupShown());
}

TEST_F(UnitListTest, PickingAUnitClosesTheOldOneAndOpensIt)
{
    writeUnit(QStringLiteral("课文"), {title("第一课"), sentence("一"), sentence("二")});
    start();
    placePanel();
    state.editMode = true;
    tip().ShowTip(10, 10, QStringLiteral("提示"));
    panel->sentenceList()->selectedPoint = 2;

    popup().list()->setCurrentRow(1);
    EXPECT_EQ(library->unitName(), QStringLiteral("课文"));
    EXPECT_EQ(panel->services().openUnitName(), QStringLiteral("课文"));
    EXPECT_EQ(table.rowCount(), 3);
    EXPECT_TRUE(state.isBrowseMode());
    EXPECT_FALSE(tip().tipVisible());
    EXPECT_EQ(panel->sentenceList()->selectedPoint, -1000);
    EXPECT_TRUE(media.sent.contains(QStringLiteral("Close MYSHOW ")));

    popup().OpenUnit(0);
    EXPECT_TRUE(state.isNotebook);
    EXPECT_EQ(table.rowCount(), 0);
}

TEST_F(UnitListTest, TheNextStartOpensTheUnitOpenLastWhenTheNotebookHasNothingDue)
{
    writeUnit(QStringLiteral("Lesson"), {title("One"), sentence("Hello")});
    writeUnit(QStringLiteral("Song"), {title("Two"), sentence("La la")});
    start();
    ASSERT_TRUE(state.isNotebook); // nothing was open before
    popup().list()->setCurrentRow(library->positionOf(QStringLiteral("Song")));
    start(); // the program started again over the same folder
    EXPECT_EQ(library->unitName(), QStringLiteral("Song"));
    EXPECT_EQ(popup().list()->currentRow(), library->positionOf(QStringLiteral("Song")));
}

TEST_F(UnitListTest, AddButtonOpensTheSettingsInAddMode)
{
    placePanel();
    ticks(0);
    state.cursorPos = QPoint(0, 400);
    ticks(6);
    QTest::mouseClick(popup().addButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().addMode, 1);
    dialog().hide();
}

TEST_F(UnitListTest, AFailedAutosaveIsShownInAMessageBox)
{
    writeUnit(QStringLiteral("课文"), {title("第一课"), sentence("一")});
    start();
    placePanel();
    popup().OpenUnit(1);
    // The Data folder is gone and a plain file stands in its place: the
    // save cannot write its temporary file.
    ASSERT_TRUE(QDir(folder.dataFolder()).removeRecursively());
    QFile blocker(home.path() + "/Data");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    table.setField(1, Text, QStringLiteral("改过的句子"));
    state.unitModified = true;
    popup().tick();
    EXPECT_FALSE(state.unitModified);
    const QMessageBox* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible())
            box = b;
    }
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->text().isEmpty());
    // The learner reads it in Chinese: what failed, and that the file was kept.
    EXPECT_EQ(box->text(), windowMessage(library->lastError()));
    EXPECT_TRUE(box->text().startsWith("无法保存 ")) << box->text().toStdString();
    // The Data folder is gone, so no Unit file was made.
    EXPECT_TRUE(box->text().endsWith("没有生成文件")) << box->text().toStdString();
    const_cast<QMessageBox*>(box)->close();
}

TEST_F(UnitListTest, AUnitWhoseChangesCannotBeSavedStaysOpenAndSelected)
{
    writeUnit(QStringLiteral("课文"), {title("第一课"), sentence("一")});
    start();
    placePanel();
    popup().OpenUnit(1);
    // Nothing can be written: a plain file stands where Data/ was.
    ASSERT_TRUE(QDir(folder.dataFolder()).removeRecursively());
    QFile blocker(home.path() + "/Data");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    table.setField(1, Text, QStringLiteral("改过的句子"));
    state.unitModified = true;

    popup().list()->setCurrentRow(0); // the learner picks the Notebook
    EXPECT_EQ(popup().list()->currentRow(), 1);
    EXPECT_EQ(library->unitName(), QStringLiteral("课文"));
    EXPECT_EQ(table.field(1, Text), QStringLiteral("改过的句子"));
    EXPECT_TRUE(library->hasUnsavedChanges());
    QMessageBox* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible())
            box = b;
    }
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().endsWith(QStringLiteral("\n单元 \"课文\" 的修改保存之前, 它保持打开")))
        << box->text().toStdString();
    box->close();
}

TEST_F(UnitListTest, AUnitFileTheScanCannotReadIsReportedInChinese)
{
    placePanel();
    emit library->unitFileUnreadable(
        "cannot read the Unit file /h/Data/b.dat: Permission denied; it is not listed");
    QMessageBox* box = messageBox("unitLibraryMessage");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "无法读取单元文件 /h/Data/b.dat: 没有权限; 它不列在单元列表中");
    box->close();
}

} // namespace
} // namespace dictora
