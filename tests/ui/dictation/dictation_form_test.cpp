// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictation_screen.h"

#include "core/study/unit_file.h"
#include "core/study/unit_names.h"
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/dictation/mismatch_marker.h"
#include "ui/dictation/typing_progress_bar.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/progress_panel.h"
#include "ui/study/sentence_list.h"
#include "ui/study/unit_list_dialog.h"
#include "ui/widgets/tip_window.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QApplication>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

namespace dictora::test {
namespace {

class DictationWindows : public DictationScreen {
protected:
    DictationToolbar& toolbar() const { return *form().toolbar(); }
    int sentCount(const QString& command) const { return int(media->commandLog().count(command)); }
    void clickToolbar(int x, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(&toolbar(), button, {}, QPoint(x, 15));
    }
    // The mouse over the strip at x, as the frame's timer reports it.
    void hoverToolbar(int x)
    {
        state.windowUnderCursor = &toolbar();
        state.cursorPos = toolbar().geometry().topLeft() + QPoint(x, 15);
        toolbar().tick();
    }
    void commitText(const QString& text)
    {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(form().answerBox(), &commit);
    }
};

TEST_F(DictationWindows, InputMethodTextCountsOnceCommitted)
{
    startWithUnit({{QStringLiteral("今天我们一起去公园散步吧。"), 0, 1500}});
    panel().sentenceList()->toggleDictation();
    DictationForm& f = form();
    QPlainTextEdit* box = f.answerBox();
    EXPECT_EQ(box->toPlainText(), QStringLiteral("今天我们"));
    EXPECT_EQ(f.turn().letterGap(), 8);
    ASSERT_TRUE(waitForUnlock());

    // Text still being composed is not typed yet.
    QInputMethodEvent preedit(QStringLiteral("yiqi"), {});
    QCoreApplication::sendEvent(box, &preedit);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("今天我们"));
    EXPECT_EQ(f.turn().letterGap(), 8);
    commitText(QStringLiteral("一起"));
    EXPECT_EQ(box->toPlainText(), QStringLiteral("今天我们一起"));
    EXPECT_EQ(f.turn().letterGap(), 6);

    media->clearCommandLog();
    commitText(QStringLiteral("去公圆散步吧。"));
    EXPECT_EQ(f.turn().letterGap(), 0);
    EXPECT_TRUE(sent(QStringLiteral("Play MATCH_WAV From 0")));
    pressEnter();
    EXPECT_EQ(box->textCursor().selectedText(), QStringLiteral("圆"));
    EXPECT_TRUE(f.mismatchMarker()->isVisible());
}

TEST_F(DictationWindows, EditModeEnterStoresTheSentence)
{
    startWithUnit({{QStringLiteral("Old text"), 0, 1500}});
    panel().sentenceList()->toggleEdit();
    panel().sentenceList()->selectRow(rowOf(0));
    QPlainTextEdit* box = form().answerBox();
    EXPECT_FALSE(box->isReadOnly());
    state.unitModified = false;
    box->setPlainText(QStringLiteral("  New text "));
    pressEnter();
    EXPECT_EQ(table.field(rowOf(0), Text), QStringLiteral("New text"));
    EXPECT_TRUE(state.unitModified);
}

TEST_F(DictationWindows, RecordButtonClickedFourTimesFromIdle)
{
    startWithUnit({{QStringLiteral("Say it."), 0, 1500}});
    clickToolbar(50);
    EXPECT_EQ(toolbar().recordButtonState(), 1);
    EXPECT_TRUE(sent(QStringLiteral("Record RECORD")));
    clickToolbar(50);
    EXPECT_EQ(toolbar().recordButtonState(), 2);
    EXPECT_TRUE(sent(QStringLiteral("Play RECORD From 0 ")));
    clickToolbar(50);
    EXPECT_EQ(toolbar().recordButtonState(), 3);
    EXPECT_TRUE(sent(QStringLiteral("Pause RECORD ")));
    clickToolbar(50);
    EXPECT_EQ(toolbar().recordButtonState(), 2);
    EXPECT_TRUE(sent(QStringLiteral("Resume RECORD ")));
    clickToolbar(50, Qt::RightButton);
    EXPECT_EQ(toolbar().recordButtonState(), 0);
    EXPECT_TRUE(sent(QStringLiteral("Close RECORD ")));
}

TEST_F(DictationWindows, HoverRaisesButtonsWithTheTipCue)
{
    startWithUnit({{QStringLiteral("Keep this one."), 0, 1500}});
    panel().sentenceList()->selectRow(rowOf(0));
    toolbar().tick();
    ASSERT_TRUE(toolbar().notebookButtonVisible());
    const QString cue = QStringLiteral("Play TIP_WAV From 0 ");
    hoverToolbar(10);
    EXPECT_EQ(toolbar().hovered(), DictationToolbar::SoundButton);
    media->clearCommandLog();
    for (int x = 10; x < 160; x += 5)
        hoverToolbar(x);
    EXPECT_EQ(sentCount(cue), 3);
    EXPECT_EQ(toolbar().hovered(), DictationToolbar::NotebookButton);
    TipWindow* tip = panel().tipWindow();
    EXPECT_TRUE(tip->tipVisible());
    EXPECT_EQ(tip->text(), QStringLiteral("加入生句本"));
    EXPECT_EQ(form().autoMove, 0);

    state.windowUnderCursor = nullptr;
    state.cursorPos = QPoint(-500, -500);
    media->clearCommandLog();
    toolbar().tick();
    EXPECT_EQ(toolbar().hovered(), DictationToolbar::None);
    EXPECT_EQ(sentCount(cue), 0);
}

TEST_F(DictationWindows, NotebookButtonAddsTheSentenceOrSaysItCouldNot)
{
    startWithUnit({{QStringLiteral("Worth keeping."), 0, 1500}});
    panel().sentenceList()->selectRow(rowOf(0));
    toolbar().tick();
    toolbar().pressButton(DictationToolbar::NotebookButton);
    TipWindow* tip = panel().tipWindow();
    EXPECT_EQ(tip->text(), QStringLiteral("添加成功"));
    EXPECT_EQ(tip->tipOwner(), nullptr); // stays after the mouse leaves the strip
    const QString notebookPath = folder.dataFolder() + kNotebookFileName;
    const std::vector<SentenceRow> rows = readUnitFile(notebookPath, true).rows;
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back()[Text], QStringLiteral("Worth keeping."));

    // A Notebook that cannot be read is never reported as a success.
    ASSERT_TRUE(QFile::remove(notebookPath));
    ASSERT_TRUE(QDir().mkdir(notebookPath));
    media->clearCommandLog();
    toolbar().pressButton(DictationToolbar::NotebookButton);
    EXPECT_EQ(tip->text(), QStringLiteral("生句本写入失败"));
    EXPECT_TRUE(sent(QStringLiteral("Play ERROR_WAV From 0 ")));
}

TEST_F(DictationWindows, LayoutButtonFixesTheStripAndDoubleClickDocksIt)
{
    startWithUnit({{QStringLiteral("Where am I?"), 0, 1500}});
    panel().sentenceList()->selectRow(rowOf(0)); // the floating strip shows with a row
    DictationForm& f = form();
    ASSERT_EQ(panel().compactLayout, 1);
    clickToolbar(90);
    EXPECT_EQ(f.placeFixed, 1);
    clickToolbar(90);
    EXPECT_EQ(f.placeFixed, 0);

    // Press, release, double click, release: as the desktop delivers it.
    QTest::mouseDClick(&toolbar(), Qt::LeftButton, {}, QPoint(90, 15));
    QTest::mouseRelease(&toolbar(), Qt::LeftButton, {}, QPoint(90, 15));
    ASSERT_EQ(panel().compactLayout, 0);
    EXPECT_TRUE(f.docked());
    EXPECT_EQ(f.placeFixed, 1);
    EXPECT_EQ(f.autoMove, 0);
    EXPECT_EQ(f.height(), 193); // docked at the top of the panel
    EXPECT_EQ(f.promptHeight(), 52);
    EXPECT_EQ(toolbar().geometry(), QRect(f.x() + 10, f.y() + f.height() - 40,
                                          DictationToolbar::kWidth, DictationToolbar::kHeight));

    // The layout button of the docked strip lets it float again.
    toolbar().pressButton(DictationToolbar::LayoutButton);
    EXPECT_EQ(panel().compactLayout, 1);
    EXPECT_FALSE(f.docked());
    EXPECT_EQ(toolbar().geometry().topLeft(), f.geometry().topLeft() + QPoint(10, -45));
}

// In Edit mode, row after row down a long Unit: the floating form and its
// toolbar never lie over the current row, its waveform strip or the status
// bar, and stay on the screen.
TEST_F(DictationWindows, FloatingStripKeepsClearOfTheCurrentRowItsStripAndTheStatusBar)
{
    std::vector<LessonSentence> sentences;
    for (int k = 0; k < 30; ++k)
        sentences.push_back({QStringLiteral("Sentence %1").arg(k), k * 150, k * 150 + 140});
    startWithUnit(sentences);
    SentenceList* list = panel().sentenceList();
    list->toggleEdit();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect status = panel().progressPanel()->geometry();
    for (const int sentence : {0, 3, 6, 9, 12, 20, 29}) {
        list->selectRow(rowOf(sentence));
        QCoreApplication::processEvents();
        const QRect work = list->workOnScreen();
        ASSERT_GE(work.height(), SentenceList::kRowHeight + 64) << sentence << ": row and strip";
        for (const QRect& window : {form().geometry(), form().toolbar()->geometry()})
            EXPECT_FALSE(window.intersects(work)) << "sentence " << sentence;
        EXPECT_FALSE(form().geometry().intersects(status)) << "sentence " << sentence;
        EXPECT_FALSE(work.intersects(status)) << "sentence " << sentence;
        EXPECT_TRUE(screen.contains(form().geometry())) << "sentence " << sentence;
    }
    // A form dragged half off the screen comes back once the button is up.
    form().move(screen.right() - 100, screen.bottom() - 40);
    form().tick();
    EXPECT_TRUE(screen.contains(form().geometry()));
    EXPECT_FALSE(form().geometry().intersects(status));
}

TEST_F(DictationWindows, SoundButtonMutesAndPlaysTheSentenceAgain)
{
    startWithUnit({{QStringLiteral("Listen again."), 0, 1500}});
    panel().sentenceList()->selectRow(rowOf(0));
    const int spanEnd = state.playToMs;
    clickToolbar(10);
    EXPECT_FALSE(state.soundOn);
    // The same command as the menu's "静音": the span stays, so a resumed
    // playback still stops at the sentence's end.
    EXPECT_EQ(state.playToMs, spanEnd);
    media->clearCommandLog();
    clickToolbar(10);
    EXPECT_TRUE(state.soundOn);
    EXPECT_TRUE(sent(QStringLiteral("Play MYSHOW From 0 To 1500")));
}

TEST_F(DictationWindows, FloatingStripStepsAfterARightAnswerAndFadesIn)
{
    startWithUnit({{QStringLiteral("One."), 0, 1500}, {QStringLiteral("Two."), 2000, 3500}});
    DictationForm& f = form();
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    panel().sentenceList()->toggleDictation();
    EXPECT_EQ(f.width(), work.width() * 8 / 10);
    EXPECT_EQ(f.x(), work.left() + work.width() / 10);
    EXPECT_LE(f.geometry().bottom(), work.bottom() - 30);
    EXPECT_GE(f.y(), work.top() + 30);
    ASSERT_TRUE(waitForUnlock());

    const int top = f.y();
    answer(QStringLiteral("one"));
    ASSERT_EQ(state.currentRow, rowOf(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.alpha() == 255 && f.y() != top; }, 3000));
    EXPECT_EQ(f.y(), top + 50);

    // A strip the learner took hold of stays put.
    QTest::mousePress(&f, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(&f, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(f.autoMove, 0);
    const int held = f.y();
    f.automaticStep();
    EXPECT_EQ(f.y(), held);
}

TEST_F(DictationWindows, FirstPressOnASteppingStripTakesHoldWithoutDragging)
{
    startWithUnit({{QStringLiteral("One."), 0, 1500}, {QStringLiteral("Two."), 2000, 3500}});
    panel().sentenceList()->toggleDictation();
    DictationForm& f = form();
    ASSERT_EQ(f.autoMove, 1);
    // The press only stops the steps; dragging it would hand the keyboard
    // to the window manager and swallow the Enter that follows.
    QTest::mousePress(&f, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(&f, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(f.autoMove, 0);
    EXPECT_FALSE(f.pressDrags());
    // Once held, the strip can be dragged by any point.
    QTest::mousePress(&f, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(&f, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(f.pressDrags());
}

TEST_F(DictationWindows, KeyboardComesBackToTheStripWhenTypingOpens)
{
    startWithUnit({{QStringLiteral("Good morning."), 0, 5000}});
    panel().sentenceList()->toggleDictation();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &form(); }, 2000));
    // Its own queued request to take the keyboard is done with.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    // The window manager handed the keyboard to another window while the
    // sentence plays (the screensaver the mode switch brought forward, on a
    // real desktop).
    QWidget forward;
    forward.show();
    // Asked again until it holds: the study screen's own timers may take the
    // keyboard back once in a while.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            if (QApplication::activeWindow() != &forward)
                forward.activateWindow();
            return QApplication::activeWindow() == &forward;
        },
        2000));
    ASSERT_EQ(form().turn().typingUnlocked(), 0);
    ASSERT_TRUE(waitForUnlock());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &form(); }, 2000));
    EXPECT_TRUE(form().answerBox()->hasFocus());

    // A click on the toolbar, which a window manager turns into a request to
    // activate it, leaves the keyboard with the answer box.
    toolbar().activateWindow();
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &form());
}

TEST_F(DictationWindows, MismatchMarkerStaysWhenTheStripIsResized)
{
    startWithUnit({{QStringLiteral("Good morning, everyone."), 0, 1500}});
    panel().sentenceList()->toggleDictation();
    ASSERT_TRUE(waitForUnlock());
    DictationForm& f = form();
    // As many letters as the sentence: the bar is full and green.
    answer(QStringLiteral("good morning, everyane"));
    ASSERT_TRUE(f.mismatchMarker()->isVisible());
    ASSERT_EQ(f.typingProgressBar()->percent(), 100);

    media->clearCommandLog();
    f.resize(f.width() - 200, f.height() + 53);
    EXPECT_TRUE(f.mismatchMarker()->isVisible());
    EXPECT_FALSE(sent(QStringLiteral("Play MATCH_WAV From 0")));
    EXPECT_EQ(f.typingProgressBar()->width(), f.width() - 40);

    // Docked, the prompt line is twice as high: the marker moves down with
    // the text it is under.
    const int belowPrompt = f.mismatchMarker()->y() - f.promptHeight();
    f.setDocked(true);
    ASSERT_EQ(f.promptHeight(), 52);
    EXPECT_TRUE(f.mismatchMarker()->isVisible());
    EXPECT_EQ(f.mismatchMarker()->y() - f.promptHeight(), belowPrompt);
}

TEST_F(DictationWindows, StripGrowsAboutItsCentreWhileTyping)
{
    startWithUnit({{QStringLiteral("Supercalifragilisticexpialidocious words are long indeed, "
                                   "and they keep coming one after another."),
                    0, 1500}});
    panel().sentenceList()->toggleDictation();
    ASSERT_TRUE(waitForUnlock());
    DictationForm& f = form();
    const QRect before = f.geometry();
    // One long word reaches past three quarters of the strip: it widens.
    type(QStringLiteral("rcalifragilisticexpialidociouswordsarelongindeedandtheykeep"));
    const QRect wider = f.geometry();
    EXPECT_GT(wider.width(), before.width());
    // It grows in a few steps, each keeping the centre to half a pixel.
    EXPECT_GT(before.left() - wider.left(), 0);
    EXPECT_LE(std::abs(wider.center().x() - before.center().x()), 4);
    // Words with blanks wrap instead: a third line makes it taller.
    for (int n = 0; n < 12 && f.height() == wider.height(); ++n)
        type(QStringLiteral(" coming one after another"));
    EXPECT_GT(f.height(), wider.height());
    EXPECT_EQ(f.height(), f.promptHeight() + f.answerHeight() + 18);
    EXPECT_EQ(f.answerHeight() % 53, 0);
}

TEST_F(DictationWindows, SentenceWithoutLettersMatchesAtOnce)
{
    startWithUnit({{QStringLiteral("1, 2, 3!"), 0, 1500}, {QStringLiteral("Next."), 2000, 3500}});
    media->clearCommandLog();
    panel().sentenceList()->toggleDictation();
    EXPECT_TRUE(sent(QStringLiteral("Play MATCH_WAV From 0")));
    EXPECT_EQ(form().turn().letterGap(), 0);
    ASSERT_TRUE(waitForUnlock());
    pressEnter();
    EXPECT_EQ(state.currentRow, rowOf(1));
    EXPECT_EQ(table.field(rowOf(0), Done), QStringLiteral("1"));
}

TEST_F(DictationWindows, ClosingTheUnitClearsTheStrip)
{
    startWithUnit(
        {{QStringLiteral("First one."), 0, 1500}, {QStringLiteral("Second."), 2000, 3500}});
    panel().sentenceList()->selectRow(rowOf(1));
    ASSERT_EQ(form().answerBox()->toPlainText(), QStringLiteral("Second."));
    ASSERT_EQ(form().promptLine()->toPlainText(), QStringLiteral("First one."));
    panel().unitList()->OpenUnit(0);
    EXPECT_TRUE(form().answerBox()->toPlainText().isEmpty());
    EXPECT_TRUE(form().promptLine()->toPlainText().isEmpty());
}

} // namespace
} // namespace dictora::test
