// SPDX-License-Identifier: GPL-3.0-or-later
#include "modal_script.h"

#include "core/study/unit_file.h"
#include "core/study/unit_library.h"
#include "platform/media/gst_media_commands.h"
#include "support/ui/study_screen.h"
#include "ui/import/add_content_dialog.h"
#include "ui/import/alignment_progress_dialog.h"
#include "ui/study/sentence_list.h"
#include "ui/widgets/sound_cues.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace dictora {
namespace {

using test::ModalScript;
using test::StudyScreen;

// Speaks text into a WAVE file with the espeak-ng program, in a voice and
// at a speed the aligner does not use.
bool speak(const QString& text, const QString& path)
{
    QProcess espeak;
    espeak.start(QStringLiteral("espeak-ng"),
                 {QStringLiteral("-v"), QStringLiteral("en-gb+f3"), QStringLiteral("-s"),
                  QStringLiteral("140"), QStringLiteral("-p"), QStringLiteral("70"),
                  QStringLiteral("-w"), path, text});
    return espeak.waitForFinished(60000) && espeak.exitCode() == 0;
}

void dropFiles(QWidget* target, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    mime.setUrls(urls);
    const QPointF at = target->rect().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

// Clicks a check box on its box, at the left end (its label is shorter
// than the widget).
void clickBox(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

struct AlignmentDialog : ::testing::Test, StudyScreen {
    GstMediaCommands media;
    std::unique_ptr<QWidget> frame = std::make_unique<QWidget>();
    QString text, wave;

    ~AlignmentDialog() override { closeStudyScreen(); }

    void SetUp() override
    {
        prepareProgramFolder(folder);
        buildStudyScreen({.media = &media, .parent = frame.get()});
        panel->sentenceList()->show();
        frame->show();
        openFirstUnit();
        ASSERT_TRUE(library->createUnit(QStringLiteral("Lesson 1")).ok);
        state.editMode = true;
        state.currentRow = 0;
        // Two sentences in one paragraph, spoken with a pause between them.
        text = home.filePath(QStringLiteral("talk.txt"));
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("The train leaves at nine. Please buy two tickets for us.\n");
        file.close();
        wave = home.filePath(QStringLiteral("talk.wav"));
        ASSERT_TRUE(speak(
            QStringLiteral("The train leaves at nine. Please buy two tickets for us."), wave));
    }
};

TEST_F(AlignmentDialog, CheckedBoxGivesTheSectionItsSpokenSpans)
{
    ModalScript script;
    int percentSeen = -1;
    script.then([&](QDialog& dialog) {
        auto& add = static_cast<AddContentDialog&>(dialog);
        EXPECT_EQ(add.alignBox()->text(), QStringLiteral("自动对齐时间"));
        ASSERT_TRUE(add.alignBox()->isEnabled());
        clickBox(add.alignBox());
        EXPECT_TRUE(add.alignBox()->isChecked());
        QTest::mouseClick(add.okButton(), Qt::LeftButton);
    });
    script.then([&](QDialog& dialog) {
        // The progress dialog closes by itself when the work is done.
        auto* progress = qobject_cast<AlignmentProgressDialog*>(&dialog);
        ASSERT_NE(progress, nullptr);
        percentSeen = progress->progressBar()->value();
    });
    dropFiles(panel->sentenceList()->viewport(), {text, wave});
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_GE(percentSeen, 0);

    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.field(1, Text), QStringLiteral("The train leaves at nine."));
    EXPECT_EQ(table.field(2, Text), QStringLiteral("Please buy two tickets for us."));
    const int firstStart = table.field(1, StartMs).toInt();
    const int firstEnd = table.field(1, EndMs).toInt();
    const int secondStart = table.field(2, StartMs).toInt();
    const int secondEnd = table.field(2, EndMs).toInt();
    EXPECT_LT(firstStart, 400); // espeak-ng starts speaking within a moment
    EXPECT_GT(firstEnd, 1000);
    EXPECT_LT(firstEnd, secondStart);
    EXPECT_GT(secondEnd, secondStart + 1000);
    EXPECT_TRUE(state.unitModified);
}

TEST_F(AlignmentDialog, CancelChangesNothing)
{
    ModalScript script;
    QDialog* add = nullptr;
    script.then([&](QDialog& dialog) {
        add = &dialog;
        clickBox(static_cast<AddContentDialog&>(dialog).alignBox());
        QTest::mouseClick(static_cast<AddContentDialog&>(dialog).okButton(), Qt::LeftButton);
    });
    bool addStillOpen = false;
    script.then([&](QDialog& dialog) {
        QTest::mouseClick(static_cast<AlignmentProgressDialog&>(dialog).cancelButton(),
                          Qt::LeftButton);
        QTimer::singleShot(0, add, [&] {
            addStillOpen = add->isVisible();
            add->reject();
        });
    });
    state.unitModified = false;
    dropFiles(panel->sentenceList()->viewport(), {text, wave});
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_TRUE(addStillOpen);
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_FALSE(state.unitModified);
}

TEST_F(AlignmentDialog, SentencesNotFoundAreLeftOutWhenTheLearnerSaysSo)
{
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("Our teacher gave us a lot of homework today.\n");
    file.close();
    QString asked, told;
    ModalScript script;
    script.then([](QDialog& dialog) {
        clickBox(static_cast<AddContentDialog&>(dialog).alignBox());
        QTest::mouseClick(static_cast<AddContentDialog&>(dialog).okButton(), Qt::LeftButton);
    });
    script.then([](QDialog&) {});
    script.then([&](QDialog& dialog) {
        asked = static_cast<QMessageBox&>(dialog).text();
        auto* importFound = dialog.findChild<QPushButton*>(QStringLiteral("importFoundButton"));
        ASSERT_NE(importFound, nullptr);
        QTest::mouseClick(importFound, Qt::LeftButton);
    });
    script.then([&](QDialog& dialog) {
        told = static_cast<QMessageBox&>(dialog).text();
        dialog.accept();
    });
    dropFiles(panel->sentenceList()->viewport(), {text, wave});
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_TRUE(asked.contains(QStringLiteral("只找到了 2 句 (共 3 句)"))) << asked.toStdString();
    EXPECT_EQ(told, QStringLiteral("只导入了找到的 2 句 (共 3 句)."));
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.field(2, Text), QStringLiteral("Please buy two tickets for us."));
}

TEST_F(AlignmentDialog, ReTimingKeepsASentenceNotFoundAtItsOwnTimeMarkedForALook)
{
    const QString srt = home.filePath(QStringLiteral("talk.srt"));
    QFile file(srt);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1\n00:00:00,000 --> 00:00:01,900\nThe train leaves at nine.\n\n"
               "2\n00:00:01,900 --> 00:00:02,400\nOur teacher gave us a lot of "
               "homework today.\n\n3\n00:00:02,400 --> 00:00:04,500\nPlease buy "
               "two tickets for us.\n");
    file.close();
    QString told;
    ModalScript script;
    script.then([](QDialog& dialog) {
        clickBox(static_cast<AddContentDialog&>(dialog).alignBox());
        QTest::mouseClick(static_cast<AddContentDialog&>(dialog).okButton(), Qt::LeftButton);
    });
    script.then([](QDialog&) {});
    script.then([&](QDialog& dialog) {
        told = static_cast<QMessageBox&>(dialog).text();
        dialog.accept();
    });
    dropFiles(panel->sentenceList()->viewport(), {srt, wave});
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_TRUE(told.contains(QStringLiteral("1 句没有找到 (共 3 句)"))) << told.toStdString();
    ASSERT_EQ(table.rowCount(), 4);
    EXPECT_EQ(table.field(2, StartMs), QStringLiteral("1900"));
    EXPECT_EQ(library->reviewMarks().count(), 1);
    EXPECT_TRUE(library->reviewMarks().reasonAt(2));
}

} // namespace
} // namespace dictora
