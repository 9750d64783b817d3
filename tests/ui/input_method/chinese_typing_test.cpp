// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictation_screen.h"
#include "input_method_desktop.h"

#include "core/study/unit_file.h"
#include "support/server_ready.h"
#include "ui/dictation/dictation_form.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/sentence_list.h"

#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace dictora::test {
namespace {

struct ChineseTyping : DictationScreen {
    void SetUp() override
    {
        InputMethodDesktop* desktop = InputMethodDesktop::current;
        if (!desktop || !desktop->unavailable().isEmpty())
            GTEST_SKIP() << (desktop ? desktop->unavailable().toStdString() : "no desktop");
        DictationScreen::SetUp();
    }
};

TEST_F(ChineseTyping, PinyinCommittedByTheInputMethodIsCheckedAsTheAnswer)
{
    InputMethodDesktop& desktop = *InputMethodDesktop::current;
    startWithUnit({{QStringLiteral("你好"), 0, 1500}, {QStringLiteral("谢谢"), 2000, 3500}});
    DictationForm& f = form();
    QPlainTextEdit* box = f.answerBox();
    panel().sentenceList()->toggleDictation();
    ASSERT_EQ(state.currentRow, rowOf(0));
    ASSERT_TRUE(waitForUnlock());

    box->window()->activateWindow();
    box->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(box->window(), 10000));
    ASSERT_TRUE(desktop.waitForFocusedInputContext(test::kServerReadyLimitMs))
        << "no fcitx5 input context";
    // The form starts the answer with the sentence's first character; the
    // learner types over it.
    box->selectAll();

    // "nihao" and a space: pinyin's first candidate, committed.
    media->clearCommandLog();
    ASSERT_TRUE(desktop.typeKeys({"n", "i", "h", "a", "o", "space"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->toPlainText().contains(u"你好"); }, 10000))
        << box->toPlainText().toStdString();
    EXPECT_EQ(box->toPlainText(), QStringLiteral("你好"));

    // The checks see the committed characters: the letters add up (match
    // cue), and Enter takes the answer as right and moves on.
    EXPECT_EQ(f.turn().letterGap(), 0);
    EXPECT_TRUE(sent(QStringLiteral("Play MATCH_WAV From 0")));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(table.field(rowOf(0), Done), QStringLiteral("1"));
    EXPECT_EQ(state.currentRow, rowOf(1));
}

} // namespace
} // namespace dictora::test
