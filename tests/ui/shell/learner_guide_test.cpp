// SPDX-License-Identifier: GPL-3.0-or-later
// The newcomer's guides through the real study screen: F1 and the menus' "?"
// item, the tooltips, the hint over a list with little in it, and the tip
// when the day's work is done.
#include "ui/shell/learner_guide.h"

#include "core/shell/help_texts.h"
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/shell/help_overlay.h"
#include "ui/study/progress_panel.h"
#include "ui/study/status_item.h"

#include "support/ui/menu_answer.h"
#include "ui/study/sentence_list_fixture.h"

#include <QApplication>

using namespace dictora;
using namespace dictora::test;

namespace {

class LearnerGuideTest : public SentenceListFixture {
protected:
    LearnerGuide* guide = nullptr;

    void SetUp() override
    {
        SentenceListFixture::SetUp();
        guide = new LearnerGuide(*panel, state, library.get(), panel.get());
    }
    HelpOverlay* overlay() const { return panel->findChild<HelpOverlay*>(); }
    void rightClickChoose(const QString& item)
    {
        const auto seen = answerNextMenu(item);
        const QPoint at(600, 650);
        state.cursorPos = list().viewport()->mapToGlobal(at);
        QTest::mouseClick(list().viewport(), Qt::RightButton, {}, at);
        ASSERT_TRUE(seen->shown);
        EXPECT_EQ(seen->items.last(), "?");
    }
};

} // namespace

TEST_F(LearnerGuideTest, F1AndTheMenusShowTheHelpOfTheCurrentMode)
{
    QTest::keyClick(&list(), Qt::Key_F1);
    ASSERT_NE(overlay(), nullptr);
    EXPECT_TRUE(overlay()->isVisible());
    EXPECT_EQ(overlay()->mode(), HelpMode::Browse);
    QTest::keyClick(overlay(), Qt::Key_Escape);
    EXPECT_FALSE(overlay()->isVisible());

    rightClickChoose(QStringLiteral("编 辑"));
    ASSERT_TRUE(state.editMode);
    rightClickChoose(QStringLiteral("?"));
    EXPECT_TRUE(overlay()->isVisible());
    EXPECT_EQ(overlay()->mode(), HelpMode::Edit);
    EXPECT_EQ(overlay()->lines(), helpLines(HelpMode::Edit));
    QTest::mouseClick(overlay(), Qt::LeftButton);
    EXPECT_FALSE(overlay()->isVisible());
}

TEST_F(LearnerGuideTest, ToolbarButtonsAndStatusItemsExplainThemselves)
{
    for (int type = 0; type < 4; ++type)
        EXPECT_EQ(panel->progressPanel()->item(StatusItemType(type))->toolTip(),
                  statusItemTip(type));
    DictationToolbar* toolbar = panel->dictationForm()->toolbar();
    toolbar->setGeometry(100, 100, 160, 35);
    toolbar->show();
    QHelpEvent help(QEvent::ToolTip, QPoint(50, 10), toolbar->mapToGlobal(QPoint(50, 10)));
    QApplication::sendEvent(toolbar, &help);
    EXPECT_TRUE(help.isAccepted());
}

TEST_F(LearnerGuideTest, AListWithLittleInItSaysWhereToGo)
{
    guide->refreshListHint();
    EXPECT_EQ(guide->listHint(), ""); // four sentences
    ASSERT_TRUE(library->createUnit(QStringLiteral("新单元")).ok);
    guide->refreshListHint();
    EXPECT_TRUE(guide->listHint().contains("屏幕最左边")) << guide->listHint().toStdString();
    state.editMode = true;
    guide->refreshListHint();
    EXPECT_TRUE(guide->listHint().contains("双击标题行"));
}

TEST_F(LearnerGuideTest, TheLastAnswerOfTheDaySaysSo)
{
    // One Section a day: "one" and "two" are today's work.
    ASSERT_EQ(library->lastFigures().todayTotal, 2);
    const TimeValue started = state.now.toSecsSinceEpoch() - 5;
    state.currentRow = 1;
    library->answerAccepted(0, started);
    ASSERT_TRUE(library->SaveUnit());
    EXPECT_EQ(guide->lastQuotaTip(), "");
    state.currentRow = 2;
    library->answerAccepted(0, started);
    ASSERT_TRUE(library->SaveUnit());
    EXPECT_TRUE(guide->lastQuotaTip().startsWith("今天的任务完成了: 2 句"))
        << guide->lastQuotaTip().toStdString();
    EXPECT_EQ(tip().text(), guide->lastQuotaTip());
}
