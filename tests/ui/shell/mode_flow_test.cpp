// SPDX-License-Identifier: GPL-3.0-or-later
// The study modes switched through the whole window tree as the program
// builds it, frame first: whatever way Dictation mode ends, the frame leaves
// the topmost layer the screensaver put it in, so the unit library pop-up
// comes up over it and the learner can change Units.
#include "core/media/fake_media.h"
#include "core/media/media_player.h"
#include "core/study/unit_file.h"
#include "core/study/unit_library.h"
#include "ui/dictation/dictation_form.h"
#include "ui/screensaver/screensaver_window.h"
#include "ui/shell/frame_dialog.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/sentence_list.h"
#include "ui/study/unit_list_dialog.h"
#include "ui/widgets/study_services.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace dictora {
namespace {

struct ModeFlow : ::testing::Test {
    QTemporaryDir home;
    ProgramFolder folder{home.path() + u'/'};
    StudyState state;
    SentenceTable table;
    test::FakeCommands media;
    test::FakeSpeech speech;
    std::unique_ptr<UnitLibrary> library;
    std::unique_ptr<MediaPlayer> player;
    std::unique_ptr<StudyServices> services;
    std::unique_ptr<FrameDialog> frame;

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        createDataFolders(folder);
        SentenceRow first = makeSentenceRow();
        first[Text] = QStringLiteral("One.");
        SentenceRow second = makeSentenceRow();
        second[Text] = QStringLiteral("Two.");
        for (SentenceRow* row : {&first, &second}) {
            (*row)[StartMs] = (*row)[EndMs] = QStringLiteral("0");
            (*row)[Done] = (*row)[Level] = QStringLiteral("0");
            (*row)[StudiedAt] = kDefaultStampText;
        }
        SentenceRow heading = makeTitleRow(QStringLiteral("Part one"));
        heading[StudiedAt] = kDefaultStampText;
        QFile file(folder.dataFolder() + QStringLiteral("课文.dat"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(encodeUnit(kNewUnitHeader, {heading, first, second}, false));
        file.close();

        library = std::make_unique<UnitLibrary>(folder, state, table, &media);
        player = std::make_unique<MediaPlayer>(state, table, folder, media, speech);
        player->setPause([](int) {});
        services = std::make_unique<StudyServices>(
            StudyServices{state, table, folder, &media, library.get(), player.get()});
        frame = std::make_unique<FrameDialog>(*services, DesktopProbe{});
        frame->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        library->ScanDataFolder();
        ASSERT_TRUE(library->OpenUnit(library->positionOf(QStringLiteral("课文"))));
    }
    void TearDown() override
    {
        frame.reset();
        player.reset();
        library.reset();
    }

    MainPanelDialog& panel() { return *frame->mainPanel(); }
    SentenceList& list() { return *panel().sentenceList(); }
    bool frameOnTop()
    {
        return frame->windowHandle() &&
               frame->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    }
    void startDictation()
    {
        list().toggleDictation();
        ASSERT_TRUE(state.dictationMode);
        ASSERT_TRUE(panel().screensaver()->screensaverOn());
        ASSERT_TRUE(frameOnTop()) << "the screensaver lifts the study screen over the rest";
    }
    // The learner reaches for the unit library: it shows, over the frame.
    void expectUnitsReachable(const char* how)
    {
        EXPECT_FALSE(frameOnTop()) << how;
        UnitListDialog& units = *panel().unitList();
        units.ShowPopup(true);
        EXPECT_TRUE(units.isVisible()) << how;
        units.ShowPopup(false);
    }
};

TEST_F(ModeFlow, EveryWayOutOfDictationLetsTheUnitLibraryComeUp)
{
    const struct {
        const char* how;
        std::function<void(ModeFlow&)> leave;
    } ways[] = {
        {"【听 写】 again", [](ModeFlow& f) { f.list().toggleDictation(); }},
        {"编 辑", [](ModeFlow& f) { f.list().toggleEdit(); }},
        {"逐行播放", [](ModeFlow& f) { f.list().toggleLineByLine(); }},
        {"the last sentence answered",
         [](ModeFlow& f) {
             f.list().selectRow(2);
             DictationForm& form = *f.panel().dictationForm();
             form.answerBox()->setPlainText(QStringLiteral("Two."));
             form.SubmitAnswer();
         }},
        {"another Unit opened", [](ModeFlow& f) {
             ASSERT_TRUE(f.library->OpenUnit(f.library->positionOf(QStringLiteral("课文"))));
         }},
    };
    for (const auto& way : ways) {
        startDictation();
        way.leave(*this);
        EXPECT_FALSE(state.dictationMode) << way.how;
        expectUnitsReachable(way.how);
        // Whatever mode the learner is in now, the next one is entered
        // from it and Dictation can start again.
        if (state.editMode)
            list().toggleEdit();
        if (state.lineByLineMode)
            list().toggleLineByLine();
        for (int row = 1; row < table.rowCount(); ++row)
            table.setField(row, Done, QStringLiteral("0"));
    }
}

TEST_F(ModeFlow, EachModeEnteredFromEveryOtherKeepsTheUnitLibraryReachable)
{
    const std::function<void(SentenceList&)> enter[] = {
        [](SentenceList& l) { l.toggleEdit(); },
        [](SentenceList& l) { l.toggleLineByLine(); },
        [](SentenceList& l) { l.toggleDictation(); },
    };
    for (const auto& from : enter) {
        for (const auto& to : enter) {
            from(list());
            to(list());
            if (!state.dictationMode)
                expectUnitsReachable("a mode entered from another");
            // Back to Browse mode for the next pair.
            if (state.editMode)
                list().toggleEdit();
            if (state.lineByLineMode)
                list().toggleLineByLine();
            if (state.dictationMode)
                list().toggleDictation();
            ASSERT_TRUE(state.isBrowseMode());
            expectUnitsReachable("back in Browse mode");
        }
    }
}

// A Unit whose first row to study is empty (an .lrc title line that became
// an empty sentence): Enter answers it at once, with no click first.
TEST_F(ModeFlow, AnEmptyFirstSentenceTakesTheKeyboardAtDictationStart)
{
    table.setField(1, Text, QString());
    list().toggleDictation();
    ASSERT_TRUE(state.dictationMode);
    DictationForm& form = *panel().dictationForm();
    EXPECT_FALSE(form.answerBox()->isReadOnly());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QApplication::focusWidget() == form.answerBox(); }, 3000));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(state.currentRow, 2);
}

} // namespace
} // namespace dictora
