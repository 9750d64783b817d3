// SPDX-License-Identifier: GPL-3.0-or-later
#include "media_window_fixture.h"

#include "core/media/media_window_input.h"
#include "core/media/pause_picture.h"
#include "core/media/voice_recorder.h"
#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/media/media_window.h"
#include "ui/study/sentence_list.h"

#include <QDir>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTest>

namespace dictora::test {
namespace {

bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    return QTest::qWaitFor(done, timeoutMs);
}

class MediaWindowTest : public MediaWindowFixture {
protected:
    void SetUp() override
    {
        if (videoClip().isEmpty())
            GTEST_SKIP() << "GStreamer cannot make the video clip";
        loadClipSection();
        window = panel->mediaWindow();
        ASSERT_NE(window, nullptr);
    }

    QRect screenRect() const { return QRect(0, 0, panel->screenWidth, panel->screenHeight); }
    QString mode() { return media->send(QStringLiteral("Status MYSHOW Mode")); }

    MediaWindow* window = nullptr;
};

TEST_F(MediaWindowTest, AVideoSentenceIsShownCentredWithTheFramesOfItsSpan)
{
    EXPECT_FALSE(window->isVisible());
    playRow(1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->geometry(), centredMediaRect(screenRect().size()));
    EXPECT_TRUE(media->commandLog().contains(QStringLiteral("Put MYSHOW Window At 0 0 495 295")));
    ASSERT_TRUE(waitUntil([&] { return window->framesShown() >= 10; }));
    EXPECT_EQ(window->currentFrame().size(), QSize(160, 120));

    // The 4:3 bars fill the video area's height, black bands at the sides.
    const QImage shown = window->grab().toImage();
    EXPECT_NE(shown.pixelColor(100, 150), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(20, 150), QColor(Qt::black));

    // A sentence without media is spoken: the window goes and takes its
    // picture with it.
    playRow(3);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->currentFrame().isNull());
    const int shownBefore = window->framesShown();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->framesShown(), shownBefore);
}

TEST_F(MediaWindowTest, DoubleClickEnlargesOverTheScreenAndEscapeRestores)
{
    playRow(1);
    ASSERT_TRUE(window->isVisible());
    DictationForm* form = panel->dictationForm();
    ASSERT_NE(form, nullptr);
    const WId formWindow = form->winId();
    QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(window->enlarged());
    EXPECT_EQ(window->geometry(), screenRect().adjusted(-1, -1, 1, 1));
    EXPECT_TRUE(window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form->toolbar()->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    // The form keeps its native window: a new one lost its owner and its
    // painting.
    EXPECT_EQ(form->winId(), formWindow);
    EXPECT_TRUE(media->commandLog().contains(QStringLiteral("Put MYSHOW Window At 0 0 %1 %2")
                                                 .arg(window->width() - 5)
                                                 .arg(window->height() - 5)));
    // Enlarging does not count as the click that pauses.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    EXPECT_FALSE(window->pausePictureShown());

    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->enlarged());
    EXPECT_EQ(window->geometry(), centredMediaRect(screenRect().size()));
    EXPECT_FALSE(window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(form->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form->winId(), formWindow);

    QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(100, 100));
    ASSERT_TRUE(window->enlarged());
    QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_FALSE(window->enlarged());
}

TEST_F(MediaWindowTest, SpacePausesWithThePausePictureResumesAndReplays)
{
    playRow(1);
    ASSERT_EQ(mode(), QStringLiteral("playing"));
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_EQ(mode(), QStringLiteral("paused"));
    EXPECT_TRUE(window->pausePictureShown());
    // The sign's white bars stand in the bottom-left corner.
    const QRect picture = pausePictureRect(window->size());
    const QImage shown = window->grab().toImage();
    EXPECT_GT(shown.pixelColor(picture.left() + picture.width() * 3 / 8, picture.center().y())
                  .lightness(),
              200);

    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_EQ(mode(), QStringLiteral("playing"));
    EXPECT_FALSE(window->pausePictureShown());
    ASSERT_TRUE(waitUntil([&] { return mode() == QLatin1String("stopped"); }));

    // Stopped at the end of the span: Space plays the sentence again.
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_EQ(mode(), QStringLiteral("playing"));
}

TEST_F(MediaWindowTest, AClickActsAsSpaceOnceItIsNoDoubleClick)
{
    playRow(1);
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(mode(), QStringLiteral("playing"));
    ASSERT_TRUE(waitUntil([&] { return window->pausePictureShown(); }));
    EXPECT_EQ(mode(), QStringLiteral("paused"));
}

TEST_F(MediaWindowTest, ArrowKeysSelectTheNeighbouringSentenceOutsideDictation)
{
    playRow(1);
    QTableView* list = panel->sentenceList();
    QTest::keyClick(window, Qt::Key_Right);
    EXPECT_TRUE(list->selectionModel()->isRowSelected(2, {}));

    state.currentRow = 2;
    QTest::keyClick(window, Qt::Key_Up);
    EXPECT_TRUE(list->selectionModel()->isRowSelected(1, {}));

    list->clearSelection();
    state.currentRow = 1;
    QTest::keyClick(window, Qt::Key_Left); // row 0 is the Section's title
    EXPECT_FALSE(list->selectionModel()->hasSelection());
    state.dictationMode = true;
    QTest::keyClick(window, Qt::Key_Down);
    EXPECT_FALSE(list->selectionModel()->hasSelection());
}

TEST_F(MediaWindowTest, TheTimerUnlocksTypingOnceMostOfTheSentenceWasHeard)
{
    DictationForm* form = panel->dictationForm();
    if (!form)
        GTEST_SKIP() << "no dictation form in this build";
    state.dictationMode = true;
    form->UnlockTyping(0);
    playRow(1);
    EXPECT_EQ(form->turn().typingUnlocked(), 0);
    ASSERT_TRUE(waitUntil([&] { return form->turn().typingUnlocked() == 1; }));
    // The unlock came from the sound: at least 61.8 % of 1000 ms had played.
    EXPECT_GE(media->send(QStringLiteral("Status MYSHOW Position")).toInt(), 618);
}

TEST_F(MediaWindowTest, LineByLinePlayMovesTheSelectionOnWithTheSound)
{
    state.lineByLineMode = true;
    playRow(1);
    EXPECT_EQ(state.playToMs, 1990); // plays on to the end of the media
    ASSERT_TRUE(waitUntil([&] { return state.currentRow == 2; }));
    EXPECT_EQ(state.spanEndMs, 1990);
    EXPECT_EQ(mode(), QStringLiteral("playing"));
}

TEST_F(MediaWindowTest, AShortRecordingIsForgottenAndTheRecordButtonTurnsIdle)
{
    DictationForm* form = panel->dictationForm();
    if (!form || !form->toolbar())
        GTEST_SKIP() << "no dictation toolbar in this build";
    DictationToolbar* toolbar = form->toolbar();
    toolbar->setRecordButtonState(recorder->startRecording());
    ASSERT_TRUE(waitUntil([&] { return recorder->recordStatus() == RecordRecording; }));
    window->tick(); // the timer sees the recording before the learner stops it
    toolbar->setRecordButtonState(recorder->stopRecording());
    EXPECT_EQ(toolbar->recordButtonState(), RecordStopped);
    ASSERT_TRUE(waitUntil([&] { return toolbar->recordButtonState() == RecordIdle; }));
    EXPECT_FALSE(recorder->hasRecording());
    EXPECT_TRUE(QDir(folder.recordFolder()).entryList(QDir::Files).isEmpty());
}

} // namespace
} // namespace dictora::test
