// SPDX-License-Identifier: GPL-3.0-or-later
#include "media_window_fixture.h"

#include "ui/media/media_window.h"
#include "ui/media/voice_settings_dialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QMessageBox>
#include <QSlider>
#include <QTest>

#include <chrono>

namespace dictora::test {
namespace {

using namespace std::chrono_literals;

class VoiceSettingsTest : public MediaWindowFixture {
protected:
    void SetUp() override
    {
        loadClipSection();
        dialog = panel->voiceSettings();
        ASSERT_NE(dialog, nullptr);
    }

    // Speaks the sentence without media, row 3; true once it was said.
    bool speakRowWithoutMedia()
    {
        const int started = speech->utterancesStarted();
        playRow(3);
        return speech->waitUntil([&] { return !speech->speechPending(); }, 10s) &&
               speech->utterancesStarted() == started + 1 && QFileInfo(speechFile).size() > 44;
    }

    VoiceSettingsDialog* dialog = nullptr;
};

TEST_F(VoiceSettingsTest, ShowsTheEnginesVoicesAndTheSettingsInUse)
{
    speech->setRate(-4);
    speech->setVolume(70);
    dialog->show();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("语音设置"));
    ASSERT_GT(dialog->englishList()->count(), 1);
    EXPECT_EQ(dialog->chineseList()->count(), dialog->englishList()->count());
    EXPECT_EQ(dialog->englishList()->currentData().toString(), QStringLiteral("gmw/en-US"));
    EXPECT_EQ(dialog->chineseList()->currentData().toString(), QStringLiteral("sit/cmn"));
    EXPECT_EQ(dialog->speedSlider()->value(), 6);
    EXPECT_EQ(dialog->volumeSlider()->value(), 70);
    // Centred, give or take the window frame the system adds.
    EXPECT_LE(
        (dialog->geometry().center() - dialog->screen()->geometry().center()).manhattanLength(), 6);

    // Sliders take effect at once, without an OK.
    QTest::keyClick(dialog->speedSlider(), Qt::Key_End);
    EXPECT_EQ(speech->rate(), 10);
    QTest::keyClick(dialog->volumeSlider(), Qt::Key_Home);
    EXPECT_EQ(speech->volume(), 0);
}

TEST_F(VoiceSettingsTest, AnotherEnglishVoiceSpeaksTheNextSentenceWithoutMedia)
{
    const QString sentence = table.field(3, Text);
    ASSERT_TRUE(speakRowWithoutMedia());
    EXPECT_EQ(speech->voiceFor(sentence), QStringLiteral("gmw/en-US"));

    dialog->show();
    QComboBox* english = dialog->englishList();
    const int was = english->currentIndex();
    QTest::keyClick(english, was + 1 < english->count() ? Qt::Key_Down : Qt::Key_Up);
    ASSERT_NE(english->currentIndex(), was);
    const QString chosen = english->currentData().toString();
    dialog->hide();

    ASSERT_TRUE(speakRowWithoutMedia());
    EXPECT_EQ(speech->voiceFor(sentence), chosen);
    EXPECT_EQ(speech->voiceFor(QStringLiteral("早上好")), QStringLiteral("sit/cmn"));

    // The Chinese list chooses the voice of Chinese sentences.
    dialog->show();
    QComboBox* chinese = dialog->chineseList();
    QTest::keyClick(chinese, Qt::Key_Home);
    EXPECT_EQ(speech->voiceFor(QStringLiteral("早上好")), chinese->itemData(0).toString());
    EXPECT_EQ(speech->voiceFor(sentence), chosen);
}

class SpeechWithoutOutput : public MediaWindowFixture {
protected:
    SpeechWithoutOutput() : MediaWindowFixture(true) {}
};

TEST_F(SpeechWithoutOutput, TheLearnerIsToldOnceThatSpeechCannotStart)
{
    loadClipSection();
    MediaWindow* window = panel->mediaWindow();
    playRow(3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->speechFailureBox() != nullptr; }, 5000));
    QMessageBox* box = window->speechFailureBox();
    EXPECT_EQ(box->text(), QStringLiteral("Fail to initialize espeak-ng TTS !"));
    EXPECT_EQ(box->informativeText(), QStringLiteral("no sound card"));
    // The request is served in silence: nothing waits on it.
    EXPECT_TRUE(speech->waitUntil([&] { return !speech->speechPending(); }, 5s));
    box->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->speechFailureBox() == nullptr; }, 5000));
    playRow(3);
    window->tick();
    EXPECT_EQ(window->speechFailureBox(), nullptr);
}

} // namespace
} // namespace dictora::test
