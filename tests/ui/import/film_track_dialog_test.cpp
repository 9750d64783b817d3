// SPDX-License-Identifier: GPL-3.0-or-later
#include "modal_script.h"

#include "platform/media/gst_media_commands.h"
#include "support/subtitle_films.h"
#include "support/ui/study_screen.h"
#include "ui/import/add_content_dialog.h"
#include "ui/import/film_track_dialog.h"
#include "ui/study/sentence_list.h"
#include "ui/widgets/sound_cues.h"

#include <QComboBox>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace dictora {
namespace {

using test::ModalScript;
using test::StudyScreen;

struct FilmTrackChoice : ::testing::Test, StudyScreen {
    GstMediaCommands media;
    std::unique_ptr<QWidget> frame = std::make_unique<QWidget>();
    QString film;

    ~FilmTrackChoice() override { closeStudyScreen(); }

    void SetUp() override
    {
        prepareProgramFolder(folder);
        buildStudyScreen({.media = &media, .parent = frame.get()});
        panel->sentenceList()->show();
        frame->show();
        openFirstUnit();
        ASSERT_TRUE(library->createUnit(QStringLiteral("Film")).ok);
        state.editMode = true;
        state.currentRow = 0;
        // A film with no subtitle file beside it: German, English, Chinese.
        film = home.filePath(QStringLiteral("film.mkv"));
        QString error;
        ASSERT_TRUE(test::writeSubtitleFilm(
            film, false,
            {{"text/x-raw,format=utf8", "language-code=de", {{1000, 2000, "Guten Tag"}}},
             {"text/x-raw,format=utf8",
              "language-code=en,title=Full",
              {{1000, 2000, "Good day"}, {2500, 3500, "Fine"}}},
             {"text/x-raw,format=utf8", "language-code=zh", {{1100, 2100, "你好"}}}},
            &error))
            << error.toStdString();
    }

    void dropFilm()
    {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(film)});
        QWidget* target = panel->sentenceList()->viewport();
        const QPointF at = target->rect().center();
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }
};

TEST_F(FilmTrackChoice, DroppedFilmOffersItsTracksAndImportsTwoLanguages)
{
    ModalScript script;
    script.then([&](QDialog& dialog) {
        QTest::mouseClick(static_cast<AddContentDialog&>(dialog).okButton(), Qt::LeftButton);
    });
    QStringList offered;
    script.then([&](QDialog& dialog) {
        auto& tracks = static_cast<FilmTrackDialog&>(dialog);
        for (int i = 0; i < tracks.sentenceBox()->count(); ++i)
            offered << tracks.sentenceBox()->itemText(i);
        // English sentences and the Chinese prompt are chosen for the learner.
        EXPECT_EQ(tracks.sentenceBox()->currentData().toInt(), 1);
        EXPECT_EQ(tracks.promptBox()->currentData().toInt(), 2);
        QTest::mouseClick(tracks.okButton(), Qt::LeftButton);
    });
    // The reading's progress closes by itself when the tracks are read.
    script.then([](QDialog& dialog) { EXPECT_EQ(dialog.objectName(), "filmReadingDialog"); });
    dropFilm();
    EXPECT_EQ(script.unexpected(), 0);
    // matroskamux names an untitled track "Subtitle".
    EXPECT_EQ(offered, QStringList({"0: 德语 · SubRip · Subtitle", "1: 英语 · SubRip · Full",
                                    "2: 中文 · SubRip · Subtitle", "不导入字幕, 只用视频"}));
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.field(1, Text), QStringLiteral(" Good day"));
    EXPECT_EQ(table.field(1, Text2), QStringLiteral(" 你好"));
    EXPECT_EQ(table.field(1, StartMs), QStringLiteral("1000"));
    EXPECT_EQ(table.field(2, Text), QStringLiteral(" Fine"));
    EXPECT_EQ(table.field(2, EndMs), QStringLiteral("3500"));
    EXPECT_EQ(table.field(0, MediaPath), film);
}

} // namespace
} // namespace dictora
