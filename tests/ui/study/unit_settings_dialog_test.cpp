// SPDX-License-Identifier: GPL-3.0-or-later
#include "study_windows_fixture.h"

#include "core/study/file_replacement.h"
#include "core/study/unit_names.h"
#include "core/study/unit_settings_choices.h"
#include "ui/study/unit_list_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cerrno>

namespace dictora::test {
namespace {

using UnitSettingsDialogTest = StudyWindows;

TEST_F(UnitSettingsDialogTest, NewUnitWithTheDefaultChoicesThenItsSettingsReopened)
{
    dialog().showAddUnit();
    ASSERT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().windowTitle(), "添加单元");
    EXPECT_EQ(dialog().nameEdit()->text(), "新单元");
    EXPECT_FALSE(dialog().deleteButton()->isEnabled());
    EXPECT_EQ(dialog().frequencyList()->count(), 3);
    EXPECT_EQ(dialog().countUnitList()->count(), 2);

    dialog().nameEdit()->setText("Lesson 1");
    QTest::mouseClick(dialog().okButton(), Qt::LeftButton);

    EXPECT_FALSE(dialog().isVisible());
    EXPECT_TRUE(QFile::exists(dataPath("Lesson 1")));
    EXPECT_EQ(library->unitName(), "Lesson 1");
    EXPECT_EQ(library->header(), (UnitHeader{2, 1.0f, 1}));
    ASSERT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.row(0)[Kind], "0");
    EXPECT_EQ(table.row(0)[SectionTitle], "标题");
    EXPECT_TRUE(state.unitModified);
    EXPECT_TRUE(tip().tipVisible());
    EXPECT_EQ(tip().text(), "可以拖动文件添加内容");
    EXPECT_EQ(item(StatusItemType::UnitSettings).label(), "Lesson 1");

    QTest::mouseClick(&item(StatusItemType::UnitSettings), Qt::LeftButton);
    ASSERT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().windowTitle(), "Lesson 1 - 配置");
    EXPECT_EQ(dialog().nameEdit()->text(), "Lesson 1");
    EXPECT_FALSE(dialog().nameEdit()->isReadOnly());
    EXPECT_EQ(dialog().frequencyList()->currentText(), "正常 -- 重点教材");
    EXPECT_EQ(dialog().countEdit()->text(), "1.00");
    EXPECT_EQ(dialog().countUnitList()->currentText(), "课 (篇)");
    EXPECT_TRUE(dialog().deleteButton()->isEnabled());
}

TEST_F(UnitSettingsDialogTest, AddButtonOfTheUnitLibraryOpensItInAddMode)
{
    panel->unitList()->ShowPopup(true);
    QTest::mouseClick(panel->unitList()->addButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().windowTitle(), "添加单元");
    EXPECT_FALSE(panel->unitList()->popupShown());
}

TEST_F(UnitSettingsDialogTest, FollowsTheUnitOpenedWhileItShows)
{
    ASSERT_TRUE(library->createUnit("Lesson").ok);
    dialog().showEditUnit();
    ASSERT_EQ(dialog().windowTitle(), "Lesson - 配置");
    library->OpenUnit(0);
    EXPECT_EQ(dialog().windowTitle(), "生句本 - 配置");
    EXPECT_TRUE(dialog().nameEdit()->isReadOnly());
    EXPECT_FALSE(dialog().deleteButton()->isEnabled());
}

TEST_F(UnitSettingsDialogTest, NotebookOffersOneEntryPerListAReadOnlyNameAndNoDelete)
{
    ASSERT_TRUE(library->isNotebook());
    dialog().showEditUnit();
    EXPECT_EQ(dialog().windowTitle(), "生句本 - 配置");
    EXPECT_TRUE(dialog().nameEdit()->isReadOnly());
    EXPECT_EQ(dialog().frequencyList()->count(), 1);
    EXPECT_EQ(dialog().frequencyList()->currentText(), "频繁 -- 强化记忆");
    EXPECT_EQ(dialog().countUnitList()->count(), 1);
    EXPECT_EQ(dialog().countUnitList()->currentText(), "句 (行)");
    EXPECT_EQ(dialog().countEdit()->text(), "3.00");
    EXPECT_FALSE(dialog().deleteButton()->isEnabled());

    // Adding a Unit from here puts the entries back.
    dialog().showAddUnit();
    EXPECT_EQ(dialog().frequencyList()->count(), 3);
    EXPECT_EQ(dialog().countUnitList()->count(), 2);
    EXPECT_FALSE(dialog().nameEdit()->isReadOnly());
}

TEST_F(UnitSettingsDialogTest, EditedSettingsReachTheHeaderAndThePanel)
{
    ASSERT_TRUE(library->createUnit("Lesson").ok);
    state.unitModified = false;
    dialog().showEditUnit();
    dialog().frequencyList()->setCurrentIndex(0);
    dialog().countEdit()->setText("2.5");
    dialog().countUnitList()->setCurrentIndex(0);
    QTest::mouseClick(dialog().okButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(library->header(), (UnitHeader{3, 2.5f, 0}));
    EXPECT_TRUE(state.unitModified);
    library->autosaveStep();
    EXPECT_EQ(item(StatusItemType::UnitSettings).value(), "重点 / 每天新学2.50行");
}

TEST_F(UnitSettingsDialogTest, CountThatIsNotANumberIsRefusedAndNothingSaved)
{
    ASSERT_TRUE(library->createUnit("Lesson").ok);
    state.unitModified = false;
    dialog().showEditUnit();
    dialog().countEdit()->setText(".");
    dialog().frequencyList()->setCurrentIndex(0);
    QTest::mouseClick(dialog().okButton(), Qt::LeftButton);
    QMessageBox* box = messageBox("unitSettingsMessage");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), newPerDayMessage());
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(library->header(), kNewUnitHeader);
    EXPECT_FALSE(state.unitModified);
    box->close();
}

TEST_F(UnitSettingsDialogTest, RefusedNamesKeepTheDialogOpen)
{
    ASSERT_TRUE(library->createUnit("Lesson").ok);
    for (const auto& [name, message] :
         {std::pair{QString("a/b"), unitNameMessage()},
          std::pair{QString("Lesson"), QString("Lesson 单元名已经存在.")}}) {
        dialog().showAddUnit();
        dialog().nameEdit()->setText(name);
        QTest::mouseClick(dialog().okButton(), Qt::LeftButton);
        QMessageBox* box = messageBox("unitSettingsMessage");
        ASSERT_NE(box, nullptr) << name.toStdString();
        EXPECT_EQ(box->text(), message);
        EXPECT_TRUE(dialog().isVisible());
        box->close();
    }
    EXPECT_EQ(library->unitNames(), (QStringList{"生句本", "Lesson"}));
}

TEST_F(UnitSettingsDialogTest, RenameKeepsTheRowsAndMovesTheMediaFolder)
{
    writeUnit("Old", {title("One"), sentence("first"), sentence("second")});
    QDir(folder.mediaFolder()).mkpath("Old");
    QFile clip(folder.mediaFolder() + "Old/clip.mp3");
    ASSERT_TRUE(clip.open(QIODevice::WriteOnly));
    clip.write("ID3");
    clip.close();
    start();
    ASSERT_TRUE(library->OpenUnit(library->positionOf("Old")));
    const std::vector<SentenceRow> rows = table.rows();

    dialog().showEditUnit();
    dialog().nameEdit()->setText("New");
    QTest::mouseClick(dialog().okButton(), Qt::LeftButton);

    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(messageBox("unitSettingsMessage"), nullptr);
    EXPECT_FALSE(QFile::exists(dataPath("Old")));
    EXPECT_TRUE(QFile::exists(dataPath("New")));
    EXPECT_TRUE(QFile::exists(folder.mediaFolder() + "New/clip.mp3"));
    EXPECT_FALSE(QDir(folder.mediaFolder() + "Old").exists());
    EXPECT_EQ(library->unitNames(), (QStringList{"生句本", "New"}));
    EXPECT_EQ(library->unitName(), "New");
    EXPECT_EQ(table.rows(), rows);
    EXPECT_EQ(item(StatusItemType::UnitSettings).label(), "New");
}

// File steps whose removal of one file fails, as on a folder where the
// learner may add files but not remove them.
class OldFileStays : public FileSteps {
public:
    explicit OldFileStays(QString path) : path_(std::move(path)) {}
    bool remove(const QByteArray& path) override
    {
        if (QFile::decodeName(path) == path_) {
            errno = EACCES;
            return false;
        }
        return FileSteps::remove(path);
    }

private:
    QString path_;
};

TEST_F(UnitSettingsDialogTest, RenameWhoseOldFileCannotBeRemovedLeavesOneUnitAndSaysSo)
{
    writeUnit("Old", {title("One"), sentence("first")});
    QDir(folder.mediaFolder()).mkpath("Old");
    start();
    OldFileStays steps(dataPath("Old"));
    library->setFileSteps(steps);
    ASSERT_TRUE(library->OpenUnit(library->positionOf("Old")));

    dialog().showEditUnit();
    dialog().nameEdit()->setText("New");
    QTest::mouseClick(dialog().okButton(), Qt::LeftButton);

    QMessageBox* box = messageBox("unitSettingsMessage");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains("Old 没有改名")) << box->text().toStdString();
    EXPECT_TRUE(box->text().contains("改名已撤销, 单元保留原名和原文件."))
        << box->text().toStdString();
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(QDir(folder.dataFolder()).entryList({"*.dat"}, QDir::Files, QDir::Name),
              (QStringList{"Old.dat", "生句本.dat"}));
    EXPECT_TRUE(QDir(folder.mediaFolder() + "Old").exists());
    EXPECT_EQ(library->unitNames(), (QStringList{"生句本", "Old"}));
    EXPECT_EQ(library->unitName(), "Old");
    box->close();
}

TEST_F(UnitSettingsDialogTest, DeletingTheLastUnitLeavesTheNotebookOpen)
{
    ASSERT_TRUE(library->createUnit("Lesson").ok);
    dialog().showEditUnit();
    QTest::mouseClick(dialog().deleteButton(), Qt::LeftButton);
    QMessageBox* question = messageBox("deleteQuestion");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->windowTitle(), "删除操作");
    EXPECT_EQ(question->text(), "确认删除 Lesson");
    EXPECT_EQ(question->icon(), QMessageBox::Question);
    QTest::mouseClick(question->button(QMessageBox::Yes), Qt::LeftButton);

    EXPECT_FALSE(dialog().isVisible());
    EXPECT_FALSE(QFile::exists(dataPath("Lesson")));
    EXPECT_EQ(library->unitNames(), QStringList{"生句本"});
    EXPECT_EQ(library->openPosition(), 0);
    EXPECT_TRUE(library->isNotebook());
    EXPECT_TRUE(tip().tipVisible());
    EXPECT_EQ(tip().text(), "Backup 目录有备份");
    EXPECT_EQ(item(StatusItemType::UnitSettings).label(), "生句本");
}

TEST_F(UnitSettingsDialogTest, AnsweringNoDeletesNothing)
{
    ASSERT_TRUE(library->createUnit("Lesson").ok);
    dialog().showEditUnit();
    QTest::mouseClick(dialog().deleteButton(), Qt::LeftButton);
    QMessageBox* question = messageBox("deleteQuestion");
    ASSERT_NE(question, nullptr);
    QTest::mouseClick(question->button(QMessageBox::No), Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(dataPath("Lesson")));
    EXPECT_EQ(library->unitName(), "Lesson");
    EXPECT_TRUE(dialog().isVisible());
}

TEST_F(UnitSettingsDialogTest, EscapeAndEnterDoNotCloseTheDialog)
{
    dialog().showAddUnit();
    QTest::keyClick(dialog().nameEdit(), Qt::Key_Return);
    QTest::keyClick(dialog().nameEdit(), Qt::Key_Escape);
    QTest::keyClick(&dialog(), Qt::Key_Enter);
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(library->unitNames(), QStringList{"生句本"});
}

} // namespace
} // namespace dictora::test
