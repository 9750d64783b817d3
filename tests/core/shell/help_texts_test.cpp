// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/help_texts.h"

#include <gtest/gtest.h>

using namespace dictora;

namespace {

bool mentions(const QList<HelpLine>& lines, const char* what)
{
    const QString text = QString::fromUtf8(what);
    for (const HelpLine& line : lines)
        if (line.gesture.contains(text) || line.effect.contains(text))
            return true;
    return false;
}

} // namespace

TEST(HelpTexts, EachModeNamesItsGesturesAndKeysAndTheCommonOnes)
{
    EXPECT_EQ(helpModeOf(false, false, false), HelpMode::Browse);
    EXPECT_EQ(helpModeOf(true, false, false), HelpMode::Edit);
    EXPECT_EQ(helpModeOf(false, true, false), HelpMode::Dictation);
    EXPECT_EQ(helpModeOf(false, false, true), HelpMode::LineByLine);
    const struct {
        HelpMode mode;
        const char* title;
        std::vector<const char*> named;
    } cases[] = {
        {HelpMode::Browse, "浏览模式", {"单击句子", "空格键"}},
        {HelpMode::LineByLine, "逐行播放", {"单击句子", "空格键"}},
        {HelpMode::Edit,
         "编辑模式",
         {"双击标题行", "文本", "影音", "拖入文件", "A / F", "E / D", "右键菜单"}},
        {HelpMode::Dictation, "听写模式", {"Enter", "再听一遍", "喇叭点两下", "Esc", "生句本"}},
    };
    for (const auto& c : cases) {
        const QList<HelpLine> lines = helpLines(c.mode);
        EXPECT_EQ(helpTitle(c.mode), QString::fromUtf8(c.title));
        for (const char* named : c.named)
            EXPECT_TRUE(mentions(lines, named)) << c.title << ": " << named;
        for (const char* common : {"屏幕最左边", "右键", "F1", "状态栏", "新建单元", "Ctrl+R",
                                   "Ctrl+Shift+R", "Ctrl+L", "播放设置"})
            EXPECT_TRUE(mentions(lines, common)) << c.title << ": " << common;
        for (const HelpLine& line : lines)
            EXPECT_FALSE(line.gesture.isEmpty() || line.effect.isEmpty()) << c.title;
    }
}

TEST(HelpTexts, HintsAndTipsFollowTheListAndTheDay)
{
    const struct {
        int sentences;
        bool notebook;
        bool edit;
        const char* says; // "" for no hint
    } hints[] = {
        {0, false, false, "屏幕最左边"},
        {2, false, false, "编 辑"},
        {3, false, false, ""},
        {0, false, true, "双击标题行"},
        {1, false, true, "拖到这里"},
        {0, true, false, "生句本"},
        {1, true, false, ""},
        {40, false, true, ""},
    };
    for (const auto& h : hints) {
        const QString hint = emptyListHint(h.sentences, h.notebook, h.edit);
        if (*h.says == 0)
            EXPECT_TRUE(hint.isEmpty()) << h.sentences << hint.toStdString();
        else
            EXPECT_TRUE(hint.contains(QString::fromUtf8(h.says))) << hint.toStdString();
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(toolbarButtonTip(i).isEmpty());
        EXPECT_FALSE(statusItemTip(i).isEmpty());
    }
    EXPECT_TRUE(toolbarButtonTip(4).isEmpty());
    EXPECT_EQ(quotaDoneTip(12, 340, "50%"), "今天的任务完成了: 12 句, 340 字, 总完成率 50%");
    const struct {
        int doneBefore, totalBefore, doneAfter, totalAfter;
        bool reached;
    } days[] = {
        {4, 5, 5, 5, true},  // the last answer of the day
        {5, 5, 5, 5, false}, // done already: opening the Unit again says nothing
        {3, 5, 4, 5, false}, // one more to go
        {0, 0, 0, 0, false}, // nothing scheduled
        {0, 0, 1, 1, false}, // a Unit just opened
        {4, 5, 6, 6, true},  // an answer that also took the next new one
    };
    for (const auto& d : days)
        EXPECT_EQ(quotaJustReached(d.doneBefore, d.totalBefore, d.doneAfter, d.totalAfter),
                  d.reached)
            << d.doneBefore << "/" << d.totalBefore << " -> " << d.doneAfter << "/" << d.totalAfter;
}
