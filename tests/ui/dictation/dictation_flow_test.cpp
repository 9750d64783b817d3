// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictation_screen.h"

#include "core/study/stamp.h"
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/dictation/mismatch_marker.h"
#include "ui/dictation/typing_progress_bar.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/sentence_list.h"
#include "ui/widgets/tip_window.h"

#include <QPlainTextEdit>
#include <QTest>

#include <gst/gst.h>

namespace dictora::test {
namespace {

const QString kMatchCue = QStringLiteral("Play MATCH_WAV From 0");

class DictationFlow : public DictationScreen {
protected:
    // The Enter presses that find the mismatch at one place three times:
    // the third raises the hint level.
    void stuckThreeTimes(const QString& wrong)
    {
        for (int n = 0; n < 3; ++n)
            answer(wrong);
    }
    // Right now the row shows its sentence and the stamp a right answer
    // gets is that of the study state's time.
    void expectRested(int row, const QString& level, const QString& stampBefore)
    {
        EXPECT_EQ(table.field(row, Done), QStringLiteral("1"));
        EXPECT_EQ(table.field(row, Level), level);
        const QString stamp = table.field(row, StudiedAt);
        EXPECT_TRUE(stamp == stampBefore || stamp == FormatStamp(ParseStamp(stampBefore) + 1))
            << stamp.toStdString();
    }
    QString nowStamp() const { return FormatStamp(state.now.toSecsSinceEpoch()); }
    // The unit library's 100 ms timer writes what the answer changed.
    void expectSavedRow(int row)
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !state.unitModified; }, 2000));
        const std::vector<SentenceRow> saved = savedRows();
        ASSERT_GT(int(saved.size()), row);
        EXPECT_EQ(saved[size_t(row)][Done], table.field(row, Done));
        EXPECT_EQ(saved[size_t(row)][Level], table.field(row, Level));
        EXPECT_EQ(saved[size_t(row)][StudiedAt], table.field(row, StudiedAt));
    }
};

TEST_F(DictationFlow, DictationPlaysItsSentenceThoughItsRowWasSelectedAlready)
{
    startWithUnit(
        {{QStringLiteral("Good morning."), 0, 1500}, {QStringLiteral("Well done!"), 2000, 3500}});
    panel().sentenceList()->selectRow(rowOf(0)); // Browse mode: it plays
    ASSERT_TRUE(QTest::qWaitFor([this] { return player->mediaMode() != u"playing"; }, 10000));
    media->clearCommandLog();
    panel().sentenceList()->toggleDictation();
    EXPECT_TRUE(sent(QStringLiteral("Play MYSHOW From 0 To 1500")));
    EXPECT_TRUE(waitForUnlock()); // the sink played enough of it to type
}

TEST_F(DictationFlow, WholeDictationOfAThreeSentenceUnit)
{
    startWithUnit({{QStringLiteral("Good morning."), 0, 1500},
                   {QStringLiteral("We meet at the station after lunch today."), 2000, 3500},
                   {QStringLiteral("Well done!"), 4000, 5500}});
    DictationForm& f = form();
    QPlainTextEdit* box = f.answerBox();

    panel().sentenceList()->toggleDictation();
    ASSERT_TRUE(state.dictationMode);
    ASSERT_EQ(state.currentRow, rowOf(0));
    EXPECT_EQ(box->toPlainText(), QStringLiteral("Good"));
    EXPECT_EQ(f.turn().letterGap(), 7);

    // Typing stays locked while less than 61.8 % of the span was heard.
    bool lockedEarly = true;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const double heard = double(player->playPosition() - state.playFromMs) /
                                 double(state.playToMs - state.playFromMs);
            if (heard < 0.6 && (f.turn().typingUnlocked() || !box->isReadOnly()))
                lockedEarly = false;
            return f.turn().typingUnlocked() == 1;
        },
        10000));
    EXPECT_TRUE(lockedEarly);
    EXPECT_FALSE(box->isReadOnly());

    // Equal counts sound the match cue and turn the bar green, right or not.
    media->clearCommandLog();
    type(QStringLiteral(" mornin"));
    EXPECT_FALSE(sent(kMatchCue));
    type(QStringLiteral("m"));
    EXPECT_TRUE(sent(kMatchCue));
    EXPECT_EQ(f.turn().letterGap(), 0);
    EXPECT_EQ(f.typingProgressBar()->colour(), QColor(8, 240, 8));

    // The wrong answer marks its first wrong character, and the third Enter
    // near it shows 16 characters of the sentence in the tip.
    pressEnter();
    EXPECT_EQ(state.currentRow, rowOf(0));
    EXPECT_EQ(box->textCursor().selectedText(), QStringLiteral("m"));
    EXPECT_EQ(box->textCursor().selectionStart(), 11);
    EXPECT_TRUE(f.mismatchMarker()->isVisible());
    TipWindow* tip = panel().tipWindow();
    EXPECT_FALSE(tip->tipVisible());
    pressEnter();
    EXPECT_FALSE(tip->tipVisible());
    pressEnter();
    EXPECT_TRUE(tip->tipVisible());
    EXPECT_EQ(tip->text(), QStringLiteral("d morning.")); // from 8 before the wrong place
    EXPECT_EQ(tip->tipOwner(), &f);
    EXPECT_EQ(f.turn().hintLevel(), 1);

    // Esc deletes the selected wrong character; the right answer counts.
    QTest::keyClick(box, Qt::Key_Escape);
    QCoreApplication::processEvents();
    box->moveCursor(QTextCursor::End);
    type(QStringLiteral("g"));
    const QString stampBefore = nowStamp();
    pressEnter();
    expectRested(rowOf(0), QStringLiteral("1"), stampBefore);
    EXPECT_FALSE(tip->tipVisible());
    expectSavedRow(rowOf(0));

    // The next sentence to study follows, its prompt the sentence before.
    ASSERT_EQ(state.currentRow, rowOf(1));
    EXPECT_EQ(f.promptLine()->toPlainText(), QStringLiteral("Good morning."));
    EXPECT_EQ(f.turn().typingUnlocked(), 0);
    ASSERT_TRUE(waitForUnlock());

    // Stuck at four places: the sentence is revealed in red.
    stuckThreeTimes(QStringLiteral("We mxet"));
    stuckThreeTimes(QStringLiteral("We meet at thx"));
    stuckThreeTimes(QStringLiteral("We meet at the station aftxr"));
    EXPECT_EQ(f.turn().hintLevel(), 3);
    EXPECT_EQ(f.turn().answerShown(), 0);
    stuckThreeTimes(QStringLiteral("We meet at the station after lunch tx"));
    EXPECT_EQ(f.turn().hintLevel(), 4);
    EXPECT_EQ(f.turn().answerShown(), 1);
    EXPECT_EQ(f.promptLine()->toPlainText(), table.field(rowOf(1), Text));

    // A right answer after the reveal only earns "Answer again ......".
    answer(QStringLiteral("we meet at the station after lunch today"));
    EXPECT_EQ(state.currentRow, rowOf(1));
    EXPECT_EQ(box->toPlainText(), QStringLiteral("Answer again ......"));
    EXPECT_EQ(table.field(rowOf(1), Done), QStringLiteral("0"));
    EXPECT_EQ(table.field(rowOf(1), Level), QStringLiteral("0"));
    EXPECT_EQ(f.turn().hintLevel(), 0);

    answer(QStringLiteral("We meet at the station after lunch today."));
    expectRested(rowOf(1), QStringLiteral("1"), nowStamp());
    ASSERT_EQ(state.currentRow, rowOf(2));
    ASSERT_TRUE(waitForUnlock());

    // The last due row ends Dictation mode by itself.
    answer(QStringLiteral("well done"));
    expectRested(rowOf(2), QStringLiteral("1"), nowStamp());
    EXPECT_FALSE(state.dictationMode);
    EXPECT_TRUE(state.soundOn);
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_FALSE(f.typingProgressBar()->isVisible());
    expectSavedRow(rowOf(2));
}

TEST_F(DictationFlow, SentenceAboveLevelFourIsRecordedFromMemoryWithTheSoundOff)
{
    // Level 5 in a "正常" Unit rests 3 days; studied 5 days ago it is due
    // and keeps its level.
    const QString fiveDaysAgo = FormatStamp(QDateTime::currentSecsSinceEpoch() - 5 * 86400);
    startWithUnit({{QStringLiteral("First one."), 0, 1500},
                   {QStringLiteral("Remember this sentence."), 2000, 3500, QStringLiteral("0"),
                    QStringLiteral("5"), fiveDaysAgo}},
                  2);
    ASSERT_EQ(table.field(rowOf(1), Level), QStringLiteral("5"));
    DictationForm& f = form();
    QPlainTextEdit* box = f.answerBox();
    panel().sentenceList()->toggleDictation();
    ASSERT_TRUE(waitForUnlock());
    answer(QStringLiteral("first one"));
    ASSERT_EQ(state.currentRow, rowOf(1));
    EXPECT_FALSE(state.soundOn);
    EXPECT_FALSE(box->isReadOnly());
    EXPECT_EQ(f.turn().typingUnlocked(), 0);

    // A listening key is no typing: it starts no recording (and, the
    // sentence being answered from memory, plays nothing).
    media->clearCommandLog();
    const QString starter = box->toPlainText();
    QTest::keyClick(box, Qt::Key_R, Qt::ControlModifier);
    EXPECT_FALSE(sent(QStringLiteral("Record RECORD")));
    EXPECT_TRUE(media->commandLog().filter(QStringLiteral("Play MYSHOW")).isEmpty());
    EXPECT_EQ(box->toPlainText(), starter);

    // The first key starts the recording and is swallowed.
    QTest::keyClick(box, Qt::Key_R);
    EXPECT_EQ(box->toPlainText(), starter);
    EXPECT_TRUE(sent(QStringLiteral("Record RECORD")));
    EXPECT_EQ(f.toolbar()->recordButtonState(), 1);
    EXPECT_FALSE(sent(QStringLiteral("Play MYSHOW From 2000 To 3500")));

    // Kept only when longer than 4 seconds.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return media->send(QStringLiteral("Status RECORD Length")).toInt() > 4300; }, 10000));
    QTest::keyClick(box, Qt::Key_Return); // stops it; Enter itself is swallowed
    EXPECT_TRUE(sent(QStringLiteral("Stop RECORD ")));
    EXPECT_EQ(box->toPlainText(), starter);
    ASSERT_TRUE(waitForUnlock());
    EXPECT_EQ(f.toolbar()->recordButtonState(), 4);

    // Played back once typing is 60 % along.
    media->clearCommandLog();
    type(QStringLiteral("mber this")); // 12 of 20 letters
    EXPECT_EQ(f.turn().recordingPlayedBack(), 0);
    type(QStringLiteral(" sen"));
    EXPECT_EQ(f.turn().recordingPlayedBack(), 1);
    EXPECT_TRUE(sent(QStringLiteral("Play RECORD From 0 ")));
    EXPECT_EQ(f.toolbar()->recordButtonState(), 2);
}

TEST_F(DictationFlow, WithoutAMicrophoneASentenceFromMemoryIsTypedAtOnce)
{
    mediaOptions.makeAudioSource = [] {
        return gst_parse_bin_from_description("filesrc location=/nonexistent/mic ! wavparse", TRUE,
                                              nullptr);
    };
    const QString fiveDaysAgo = FormatStamp(QDateTime::currentSecsSinceEpoch() - 5 * 86400);
    startWithUnit({{QStringLiteral("First one."), 0, 1500},
                   {QStringLiteral("Remember this sentence."), 2000, 3500, QStringLiteral("0"),
                    QStringLiteral("5"), fiveDaysAgo}},
                  2);
    DictationForm& f = form();
    panel().sentenceList()->toggleDictation();
    ASSERT_TRUE(waitForUnlock());
    answer(QStringLiteral("first one"));
    ASSERT_EQ(state.currentRow, rowOf(1));
    ASSERT_FALSE(state.soundOn);

    QTest::keyClick(f.answerBox(), Qt::Key_M);
    EXPECT_EQ(f.toolbar()->recordButtonState(), 0);
    EXPECT_EQ(f.turn().typingUnlocked(), 1);
    EXPECT_EQ(panel().tipWindow()->text(), QStringLiteral("无法录音"));
    type(QStringLiteral("mber"));
    EXPECT_EQ(f.answerBox()->toPlainText(), QStringLiteral("Remember"));
}

} // namespace
} // namespace dictora::test
