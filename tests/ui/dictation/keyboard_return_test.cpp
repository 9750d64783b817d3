// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictation_screen.h"

#include "ui/dictation/dictation_form.h"
#include "ui/media/playback_settings_dialog.h"
#include "ui/shell/help_overlay.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/sentence_list.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>

#include <functional>

namespace dictora::test {
namespace {

using KeyboardReturnFlow = DictationScreen;

TEST_F(KeyboardReturnFlow, EveryWindowClosedDuringDictationGivesTheKeyboardBack)
{
    startWithUnit({{QStringLiteral("Good morning, everyone in the room."), 0, 1500}});
    panel().sentenceList()->toggleDictation();
    ASSERT_TRUE(waitForUnlock());
    QPlainTextEdit* box = form().answerBox();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == box; }, 2000));

    const std::pair<const char*, std::function<QWidget*()>> cases[] = {
        {"a message box closed with Return",
         [this] {
             return new QMessageBox(QMessageBox::Warning, QStringLiteral("Dictora"),
                                    QStringLiteral("Read me."), QMessageBox::Ok, &panel());
         }},
        {"the playback settings closed with 确定",
         [this] { return new PlaybackSettingsDialog(folder, player.get(), &panel()); }},
        {"the help closed with Esc", [this] { return HelpOverlay::instance(state, &panel()); }},
    };
    for (const auto& [name, make] : cases) {
        SCOPED_TRACE(name);
        QWidget* window = make();
        if (auto* help = qobject_cast<HelpOverlay*>(window))
            help->showForCurrentMode();
        else
            window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window; }, 2000));
        QTest::keyClick(window, window == HelpOverlay::instance(state, &panel()) ? Qt::Key_Escape
                                                                                 : Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == box; }, 2000));
        const QString before = box->toPlainText();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ab"));
        EXPECT_EQ(box->toPlainText(), before + QStringLiteral("ab"));
    }
}

} // namespace
} // namespace dictora::test
