// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility_desktop.h"
#include "dictation_screen.h"

#include "ui/desktop/accessibility.h"
#include "ui/dictation/dictation_form.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/sentence_list.h"
#include "ui/study/unit_list_dialog.h"

#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace dictora::test {
namespace {

struct ScreenReader : DictationScreen {
    void SetUp() override
    {
        AccessibilityDesktop* desktop = AccessibilityDesktop::current;
        if (!desktop || !desktop->unavailable().isEmpty())
            GTEST_SKIP() << (desktop ? desktop->unavailable().toStdString() : "no desktop");
        DictationScreen::SetUp();
    }

    // The lines of the tree whose role and name start as given.
    static QStringList find(const QStringList& tree, const QString& roleAndName)
    {
        QStringList found;
        for (const QString& line : tree) {
            if (line.startsWith(roleAndName))
                found << line;
        }
        return found;
    }
};

TEST_F(ScreenReader, OwnerDrawnControlsHaveNamesRolesAndStates)
{
    AccessibilityDesktop& reader = *AccessibilityDesktop::current;
    installAssistiveTechnologySupport();
    startWithUnit({{QStringLiteral("Good morning."), 0, 1500},
                   {QStringLiteral("Well done!"), 2000, 3500}});
    describeForAssistiveTechnology(panel());
    panel().sentenceList()->selectRow(1); // the floating strip and its toolbar show with a row
    panel().unitList()->ShowPopup(true);

    const QStringList browse = reader.tree();
    ASSERT_FALSE(browse.isEmpty()) << "the accessible tree could not be read";
    const QString dump = browse.join(u'\n');
    SCOPED_TRACE(dump.toStdString());
    // The toolbar's picture buttons, each a push button that can be pressed.
    EXPECT_EQ(find(browse, QStringLiteral("tool bar|听写工具栏")).size(), 1);
    EXPECT_EQ(find(browse, QStringLiteral("push button|声音: 开||checked")).size(), 1);
    EXPECT_EQ(find(browse, QStringLiteral("push button|录音|")).size(), 1);
    EXPECT_EQ(find(browse, QStringLiteral("push button|布局: ")).size(), 1);
    // The progress panel's items read label and value.
    EXPECT_EQ(find(browse, QStringLiteral("push button|总完成率:")).size(), 1);
    EXPECT_EQ(find(browse, QStringLiteral("push button|浏览模式")).size(), 1);
    // The unit list's rows with their percent, the sentence rows with their text.
    EXPECT_EQ(find(browse, QStringLiteral("list item|生句本 ")).size(), 1);
    EXPECT_EQ(find(browse, QStringLiteral("table cell|标题: Part one")).size(), 1);
    EXPECT_EQ(find(browse, QStringLiteral("table cell|Good morning., 未学")).size(), 1);
    EXPECT_EQ(find(browse, QStringLiteral("table cell|Well done!, 未学")).size(), 1);
    // Typing is locked outside Dictation mode.
    EXPECT_EQ(find(browse, QStringLiteral("text|答案|已锁定|")).size(), 1);

    // Dictation: the sentence is hidden, and the box unlocks once enough of
    // it was heard.
    panel().sentenceList()->toggleDictation();
    ASSERT_TRUE(waitForUnlock());
    const QStringList dictation = reader.tree();
    SCOPED_TRACE(dictation.join(u'\n').toStdString());
    EXPECT_EQ(find(dictation, QStringLiteral("table cell|正在听写的句子, 未学")).size(), 1);
    EXPECT_TRUE(find(dictation, QStringLiteral("table cell|Good morning.")).isEmpty());
    const QStringList box = find(dictation, QStringLiteral("text|答案|可以输入|"));
    ASSERT_EQ(box.size(), 1);
    EXPECT_TRUE(box[0].contains(QStringLiteral("editable")));

    // A screen reader presses the sound button as a click would.
    ASSERT_TRUE(state.soundOn);
    ASSERT_TRUE(reader.press(QStringLiteral("声音: 开")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !state.soundOn; }, 5000));
}

} // namespace
} // namespace dictora::test
