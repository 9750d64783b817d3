// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictation_screen.h"

#include "core/study/unit_file.h"
#include "support/media_making.h"
#include "ui/dictation/dictation_form.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/study/unit_list_dialog.h"
#include "ui/widgets/sound_cues.h"

#include <QPlainTextEdit>
#include <QTest>

namespace dictora::test {

void DictationScreen::SetUp()
{
    ASSERT_TRUE(home.isValid());
    prepareProgramFolder(folder);
    lessonPath = home.filePath(QStringLiteral("lesson.wav"));
    ASSERT_TRUE(writeWave(testSignal(kLessonMs / 100, 48000), lessonPath));
}

void DictationScreen::TearDown()
{
    frame.reset();
    analysis.reset();
    recorder.reset();
    player.reset();
    library.reset();
    speech.reset();
    media.reset();
}

void DictationScreen::startWithUnit(const std::vector<LessonSentence>& sentences,
                                    int reviewFrequency)
{
    {
        StudyState writerState;
        SentenceTable writerTable;
        UnitLibrary writer(folder, writerState, writerTable);
        writer.ScanDataFolder();
        UnitHeader header = kNewUnitHeader;
        header.reviewFrequency = reviewFrequency;
        header.newPerDay = 10.0f;
        header.newPerDayUnit = 0;
        ASSERT_TRUE(writer.createUnit(QStringLiteral("Lesson"), header).ok);
        SentenceRow title = makeTitleRow(QStringLiteral("Part one"));
        title[MediaPath] = lessonPath;
        title[MediaName] = QStringLiteral("lesson.wav");
        title[MediaLengthMs] = QString::number(kLessonMs);
        std::vector<SentenceRow> rows{title};
        for (const LessonSentence& s : sentences) {
            SentenceRow row = makeSentenceRow();
            row[StartMs] = QString::number(s.startMs);
            row[EndMs] = QString::number(s.endMs);
            row[Text] = s.text;
            row[Done] = s.done;
            row[Level] = s.level;
            row[StudiedAt] = s.studiedAt;
            rows.push_back(row);
        }
        writerTable.replaceAll(rows);
        ASSERT_TRUE(writer.SaveUnit());
    }

    media = std::make_unique<GstMediaCommands>(mediaOptions);
    speech = std::make_unique<SpeechWorker>();
    library = std::make_unique<UnitLibrary>(folder, state, table, media.get());
    player = std::make_unique<MediaPlayer>(state, table, folder, *media, *speech);
    player->setUnitLibrary(library.get());
    recorder = std::make_unique<VoiceRecorder>(*media, folder);
    services = std::make_unique<StudyServices>(StudyServices{state, table, folder});
    services->media = media.get();
    services->speech = speech.get();
    services->library = library.get();
    services->player = player.get();
    services->recorder = recorder.get();
    analysis = std::make_unique<MediaAnalysis>(folder.cfgFolder());
    services->analysis = analysis.get();
    openSoundCues(*media, folder);

    frame = std::make_unique<FrameDialog>(*services, DesktopProbe{});
    frame->start();
    const int position = library->positionOf(QStringLiteral("Lesson"));
    ASSERT_GT(position, 0);
    panel().unitList()->OpenUnit(position);
    ASSERT_EQ(library->unitName(), QStringLiteral("Lesson"));
    ASSERT_EQ(table.rowCount(), int(sentences.size()) + 1);
}

MainPanelDialog& DictationScreen::panel() const
{
    return *frame->mainPanel();
}

DictationForm& DictationScreen::form() const
{
    return *panel().dictationForm();
}

void DictationScreen::type(const QString& text)
{
    QPlainTextEdit* box = form().answerBox();
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, text);
}

void DictationScreen::pressEnter()
{
    QTest::keyClick(form().answerBox(), Qt::Key_Return);
}

void DictationScreen::answer(const QString& text)
{
    QPlainTextEdit* box = form().answerBox();
    box->setPlainText(text);
    box->moveCursor(QTextCursor::End);
    pressEnter();
}

bool DictationScreen::waitForUnlock(int timeoutMs)
{
    return QTest::qWaitFor([this] { return form().turn().typingUnlocked() == 1; }, timeoutMs);
}

std::vector<SentenceRow> DictationScreen::savedRows() const
{
    return readUnitFile(library->unitFilePath(), false).rows;
}

} // namespace dictora::test
