// SPDX-License-Identifier: GPL-3.0-or-later
// The listening tools through the real windows: the keys in Dictation mode,
// the menu items and the settings dialog, and the waveform strip of Edit mode.
#include "dictation_screen.h"

#include "core/study/listening_keys.h"
#include "core/media/playback_settings.h"
#include "support/ui/menu_answer.h"
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/media/playback_settings_dialog.h"
#include "ui/shell/listening_actions.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/sentence_list.h"
#include "ui/study/waveform_strip.h"

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>

namespace dictora::test {
namespace {

class ListeningFlow : public DictationScreen {
protected:

    QStringList plays() const
    {
        QStringList found;
        for (const QString& command : media->commandLog()) {
            if (command.startsWith(QLatin1String("Play MYSHOW")))
                found << command;
        }
        return found;
    }
};

TEST_F(ListeningFlow, ReplayKeysInDictationAreNoTryAndAnyOtherKeyEndsALoop)
{
    startWithUnit({{QStringLiteral("Good morning."), 0, 1500},
                   {QStringLiteral("Well done!"), 2000, 3500}});
    // The form's own key map acts: the program's filter is not installed yet.
    panel().sentenceList()->toggleDictation();
    ASSERT_TRUE(waitForUnlock());
    DictationForm& f = form();
    QPlainTextEdit* box = f.answerBox();
    type(QStringLiteral(" mor"));
    pressEnter(); // one real try: the mismatch is marked
    const QString answerBefore = box->toPlainText();
    const int hintsBefore = f.turn().hintLevel();
    media->clearCommandLog();

    QTest::keyClick(box, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(plays(), QStringList{QStringLiteral("Play MYSHOW From 0 To 1500")});
    QTest::keyClick(box, Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(sent(QStringLiteral("Set MYSHOW Speed 750")));
    EXPECT_EQ(plays().size(), 2);
    // Neither is typing nor an Enter: the answer, the hints and the row stay.
    EXPECT_EQ(box->toPlainText(), answerBefore);
    EXPECT_EQ(f.turn().hintLevel(), hintsBefore);
    EXPECT_EQ(state.currentRow, rowOf(0));
    EXPECT_EQ(table.field(rowOf(0), Done), QStringLiteral("0"));
    EXPECT_FALSE(sent(QStringLiteral("Stop RECORD")));

    QTest::keyClick(box, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(player->looping());
    EXPECT_TRUE(sent(QStringLiteral("Set MYSHOW Speed 1000")));
    // Any other key ends the loop and does what it always does.
    QTest::keyClick(box, Qt::Key_N);
    EXPECT_FALSE(player->looping());
    // (it types over the wrong character the last Enter selected)
    EXPECT_TRUE(box->toPlainText().endsWith(u'n'));

    // The sentence list's key map yields the same replay; no time moves.
    media->clearCommandLog();
    QTest::keyClick(panel().sentenceList(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(plays().size(), 1);
    EXPECT_EQ(table.field(rowOf(0), StartMs), QStringLiteral("0"));
    // A window with no key map of its own (the toolbar swallows every key)
    // is served by the filter the program installs on itself.
    QTest::keyClick(f.toolbar(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(plays().size(), 1);
    ListeningKeysFilter programKeys(*services);
    qApp->installEventFilter(&programKeys);
    QTest::keyClick(f.toolbar(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(plays().size(), 2);
    // ...and leaves the windows with their own map to it: one replay each.
    QTest::keyClick(box, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(plays().size(), 3);
    EXPECT_EQ(box->toPlainText().right(1), QStringLiteral("n"));
    qApp->removeEventFilter(&programKeys);
}

TEST_F(ListeningFlow, MenusEndWithTheListeningItemsAndTheSettingsAreKept)
{
    startWithUnit({{QStringLiteral("Good morning."), 0, 1500}});
    SentenceList* list = panel().sentenceList();
    list->selectRow(rowOf(0));

    const QStringList listening{QString::fromUtf16(kReplayItemText),
                                QString::fromUtf16(kSlowReplayItemText),
                                QString::fromUtf16(kLoopItemText),
                                QString::fromUtf16(kPlaybackSettingsItemText)};
    auto seen = answerNextMenu(QString());
    list->ShowMainMenu(QPoint(400, 300));
    ASSERT_TRUE(seen->shown);
    EXPECT_EQ(seen->items.mid(0, 8),
              (QStringList{QStringLiteral("静音"), QStringLiteral("逐行播放"), "-",
                           QStringLiteral("【听 写】"), "-", QStringLiteral("编 辑"), "-",
                           QStringLiteral("清除记录")}));
    EXPECT_EQ(seen->items.mid(8, 5), QStringList{"-"} + listening);

    // "播放设置" from the edit menu: the learner sets padding and turns
    // levelling off; the choice is in Cfg and in the player at once.
    list->toggleEdit();
    auto* fill = new QTimer;
    fill->setInterval(5);
    QObject::connect(fill, &QTimer::timeout, [fill] {
        auto* dialog = qobject_cast<PlaybackSettingsDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        fill->stop();
        fill->deleteLater();
        dialog->leadIn()->setValue(200);
        dialog->tail()->setValue(300);
        dialog->repeat()->setValue(2);
        dialog->levelling()->setChecked(false);
        dialog->accept();
    });
    fill->start();
    seen = answerNextMenu(QString::fromUtf16(kPlaybackSettingsItemText));
    list->ShowEditMenu(QPoint(400, 300));
    ASSERT_TRUE(seen->shown);
    EXPECT_EQ(seen->items.mid(seen->items.size() - 7, 5), QStringList{"-"} + listening);
    const PlaybackSettings kept = loadPlaybackSettings(folder);
    EXPECT_EQ(kept.leadInMs, 200);
    EXPECT_EQ(kept.tailMs, 300);
    EXPECT_EQ(kept.repeatCount, 2);
    EXPECT_FALSE(kept.levelLoudness);
    EXPECT_EQ(player->playbackSettings(), kept);

    // The next play is padded; the stored times are not.
    media->clearCommandLog();
    panel().sentenceList()->selectRow(rowOf(0));
    player->replayFree(false);
    EXPECT_EQ(plays().value(0), QStringLiteral("Play MYSHOW From 0 To 1800"));
    EXPECT_EQ(table.field(rowOf(0), EndMs), QStringLiteral("1500"));
}

TEST_F(ListeningFlow, TheWaveformStripShowsTheSpanAndADraggedMarkSetsTheTime)
{
    startWithUnit({{QStringLiteral("Good morning."), 500, 1500},
                   {QStringLiteral("Well done!"), 2500, 3500}});
    SentenceList* list = panel().sentenceList();
    list->toggleEdit();
    list->selectRow(rowOf(0));
    auto* strip = list->viewport()->findChild<WaveformStrip*>();
    ASSERT_TRUE(strip);
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip->isVisible() && strip->hasPeaks(); }, 20000));
    EXPECT_EQ(strip->startMs(), 500);
    EXPECT_EQ(strip->endMs(), 1500);
    EXPECT_GE(strip->geometry().top(), list->visualRect(table.index(rowOf(0), 0)).bottom());

    // Drag the end mark 300 ms later: the time is set in 10 ms steps and the
    // span is heard again on release.
    media->clearCommandLog();
    const QPoint from(strip->xOf(1500), WaveformStrip::kHeight / 2);
    const QPoint to(strip->xOf(1803), WaveformStrip::kHeight / 2);
    QTest::mousePress(strip, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), strip->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(strip, &move);
    QTest::mouseRelease(strip, Qt::LeftButton, {}, to);
    const int end = table.field(rowOf(0), EndMs).toInt();
    EXPECT_EQ(end % 10, 0);
    EXPECT_NEAR(end, 1800, 20);
    EXPECT_EQ(list->selectedPoint, 2);
    EXPECT_TRUE(state.unitModified);
    EXPECT_EQ(plays().value(0), QStringLiteral("Play MYSHOW From 500 To %1").arg(end));

    // The A/F keys move the marks the strip shows.
    QTest::keyClick(list, Qt::Key_F);
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip->endMs() == end + 50; }, 2000));

    // Outside Edit mode there is no strip.
    list->toggleEdit();
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip->isHidden(); }, 2000));
}

} // namespace
} // namespace dictora::test
