// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictation_screen.h"

#include "ui/dictation/dictation_form.h"
#include "ui/dictation/dictation_toolbar.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/progress_panel.h"
#include "ui/study/sentence_list.h"

#include <QGuiApplication>
#include <QScreen>

namespace dictora::test {
namespace {

using FloatingFormKeepsClear = DictationScreen;

// In Edit mode, row after row down a long Unit: the floating form and its
// toolbar never lie over the current row, its waveform strip or the status
// bar, and stay on the screen.
TEST_F(FloatingFormKeepsClear, OfTheCurrentRowItsStripAndTheStatusBar)
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

} // namespace
} // namespace dictora::test
