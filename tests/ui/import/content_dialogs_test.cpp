// SPDX-License-Identifier: GPL-3.0-or-later
#include "modal_script.h"

#include "core/study/unit_file.h"
#include "platform/media/gst_media_commands.h"
#include "support/media_making.h"
#include "support/ui/study_screen.h"
#include "ui/import/add_content_dialog.h"
#include "ui/import/clear_record_dialog.h"
#include "ui/import/content_change_dialog.h"
#include "ui/study/sentence_list.h"
#include "ui/widgets/sound_cues.h"

#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace dictora {
namespace {

using test::ModalScript;
using test::StudyScreen;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    return path;
}

// Drops files onto a widget as the desktop does.
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

void click(QDialog& dialog, const char* buttonName)
{
    QPushButton* button = dialog.findChild<QPushButton*>(QLatin1String(buttonName));
    ASSERT_NE(button, nullptr) << buttonName;
    QTest::mouseClick(button, Qt::LeftButton);
}

void acceptMessage(QDialog& dialog, QString* text = nullptr)
{
    if (auto* box = qobject_cast<QMessageBox*>(&dialog); box && text)
        *text = box->text();
    dialog.accept();
}

// A program folder with one Unit "Lesson 1" open in the main panel, in Edit
// mode, with the real media command layer.
struct ContentDialogs : ::testing::Test, StudyScreen {
    SentenceTable& sentences = table;
    GstMediaCommands media;
    std::unique_ptr<QWidget> frame = std::make_unique<QWidget>();

    ~ContentDialogs() override
    {
        // The panel is a child of the frame: it goes, with the services, first.
        closeStudyScreen();
    }

    void SetUp() override
    {
        prepareProgramFolder(folder);
        buildStudyScreen({.media = &media, .parent = frame.get()});
        panel->sentenceList()->show();
        frame->resize(800, 600);
        frame->show();
        openFirstUnit();
        ASSERT_TRUE(library->createUnit(QStringLiteral("Lesson 1")).ok);
        state.editMode = true;
        media.clearCommandLog();
    }

    QString file(const QString& name) const { return home.filePath(name); }

    // Saves the open Unit and reads its file back.
    UnitReadResult savedUnit()
    {
        EXPECT_TRUE(library->SaveUnit());
        return readUnitFile(state.unitFilePath, false);
    }

    // A Section "Lesson" with the sentences Old 1 and Old 2, then "Next".
    void sectionWithSentences()
    {
        sentences.clear();
        sentences.appendRow(makeTitleRow(QStringLiteral("Lesson")));
        for (const char* text : {"Old 1", "Old 2"}) {
            SentenceRow row = makeSentenceRow();
            row[Text] = QLatin1String(text);
            sentences.appendRow(row);
        }
        sentences.appendRow(makeTitleRow(QStringLiteral("Next")));
    }

    QStringList textsOfSection(int titleRow) const
    {
        QStringList texts;
        for (int row = titleRow + 1; sentences.isValidRow(row) && !sentences.isTitleRow(row); ++row)
            texts << sentences.field(row, Text);
        return texts;
    }
};

TEST_F(ContentDialogs, SubtitleAndMediaOfOneNameGiveOneSectionWithItsMedia)
{
    const QString wave = file(QStringLiteral("talk.wav"));
    ASSERT_TRUE(test::writeWave(test::testSignal(20, 44100), wave));
    const QString mp3 = file(QStringLiteral("talk.mp3"));
    ASSERT_TRUE(test::runLame({wave, mp3}));
    QFile::remove(wave);
    const QString srt =
        write(file(QStringLiteral("talk.srt")), "1\n00:00:00,000 --> 00:00:00,900\nGood morning\n\n"
                                                "2\n00:00:01,000 --> 00:00:01,900\nThank you\n");
    state.currentRow = 0; // the new Unit's empty "标题" Section

    ModalScript script;
    QString copied;
    script.then([&](QDialog& dialog) {
        auto& add = static_cast<AddContentDialog&>(dialog);
        EXPECT_EQ(add.windowTitle(), QStringLiteral("talk - 配置"));
        EXPECT_EQ(add.titleField()->text(), QStringLiteral("talk"));
        EXPECT_TRUE(add.titleField()->isReadOnly());
        EXPECT_EQ(add.mediaField()->toPlainText(), mp3);
        EXPECT_TRUE(add.copyBox()->isEnabled());
        EXPECT_TRUE(add.hoursField()->isEnabled());
        QTest::mouseClick(add.copyBox(), Qt::LeftButton);
        add.secondsField()->setText(QStringLiteral("2"));
        QTest::mouseClick(add.okButton(), Qt::LeftButton);
    });
    script.then([&](QDialog& dialog) { acceptMessage(dialog, &copied); });
    // Dropped together on the list in Edit mode: one dialog for both files,
    // then the message about the copy.
    dropFiles(panel->sentenceList()->viewport(), {srt, mp3});
    EXPECT_EQ(script.shown(), 2);
    EXPECT_EQ(script.unexpected(), 0);

    const QString inMedia = folder.mediaFolder() + QStringLiteral("Lesson 1/talk.mp3");
    EXPECT_EQ(copied, QStringLiteral("复制成功! ") + inMedia);
    EXPECT_EQ(contents(inMedia), contents(mp3));
    const UnitReadResult unit = savedUnit();
    ASSERT_EQ(unit.rows.size(), 3u);
    EXPECT_EQ(unit.rows[0][Kind], QStringLiteral("0"));
    EXPECT_EQ(unit.rows[0][SectionTitle], QStringLiteral("talk"));
    EXPECT_EQ(unit.rows[0][MediaPath], QStringLiteral(".."));
    EXPECT_EQ(unit.rows[0][MediaName], QStringLiteral("talk.mp3"));
    EXPECT_EQ(unit.rows[0][MediaLengthMs], QStringLiteral("2000"));
    EXPECT_EQ(unit.rows[1][Text], QStringLiteral(" Good morning"));
    EXPECT_EQ(unit.rows[1][StartMs], QStringLiteral("0"));
    EXPECT_EQ(unit.rows[2][Text], QStringLiteral(" Thank you"));
    EXPECT_EQ(unit.rows[2][EndMs], QStringLiteral("1900"));
}

TEST_F(ContentDialogs, TidyReadingIsTheLearnersChoiceAndIsRemembered)
{
    const QString lrc = write(file(QStringLiteral("song.lrc")),
                              "[ti:Morning Song]\n[ar:Someone]\n"
                              "[00:01.00]<i>Good</i> morning\n[00:03.00][00:05.00]La la\n");
    state.currentRow = 0;

    ModalScript script;
    script.then([&](QDialog& dialog) {
        auto& add = static_cast<AddContentDialog&>(dialog);
        EXPECT_FALSE(add.tidyBox()->isChecked()); // off until the learner chooses it
        QTest::mouseClick(add.tidyBox(), Qt::LeftButton);
        QTest::mouseClick(add.okButton(), Qt::LeftButton);
    });
    dropFiles(panel->sentenceList()->viewport(), {lrc});
    EXPECT_EQ(script.shown(), 1);

    const UnitReadResult unit = savedUnit();
    ASSERT_EQ(unit.rows.size(), 4u);
    EXPECT_EQ(unit.rows[0][SectionTitle], QStringLiteral("Morning Song"));
    QStringList texts;
    for (size_t row = 1; row < unit.rows.size(); ++row)
        texts << unit.rows[row][Text].trimmed() + "@" + unit.rows[row][StartMs];
    EXPECT_EQ(texts, (QStringList{"Good morning@1000", "La la@3000", "La la@5000"}));

    ModalScript again;
    bool remembered = false;
    again.then([&](QDialog& dialog) {
        remembered = static_cast<AddContentDialog&>(dialog).tidyBox()->isChecked();
        dialog.reject();
    });
    panel->addContent()->openForCurrentRow();
    EXPECT_TRUE(remembered);
}

TEST_F(ContentDialogs, DropOnTheDialogTakesTheFirstTextOrMediaFile)
{
    const QString doc = write(file(QStringLiteral("a.doc")), "");
    const QString png = write(file(QStringLiteral("b.png")), "");
    const QString txt = write(file(QStringLiteral("c.txt")), "one\n");
    write(file(QStringLiteral("c.wav")), ""); // a companion, not taken from a drop
    state.currentRow = 0;

    ModalScript script;
    script.then([&](QDialog& dialog) {
        auto& add = static_cast<AddContentDialog&>(dialog);
        dropFiles(&add, {doc, png});
        EXPECT_EQ(media.commandLog(), QStringList{QStringLiteral("Play ERROR_WAV From 0 ")});
        EXPECT_EQ(add.titleField()->text(), QStringLiteral("标题"));
        dropFiles(&add, {doc, png, txt});
        EXPECT_EQ(add.titleField()->text(), QStringLiteral("c"));
        EXPECT_EQ(add.mediaField()->toPlainText(), QString()); // the Section has no media
        EXPECT_FALSE(add.copyBox()->isEnabled());
        EXPECT_FALSE(add.hoursField()->isEnabled());
        EXPECT_EQ(media.commandLog().size(), 1);
        state.editMode = false; // drops count only in Edit mode
        dropFiles(&add, {txt});
        EXPECT_EQ(media.commandLog().size(), 2);
        add.reject();
    });
    EXPECT_EQ(panel->addContent()->openForCurrentRow(), QDialog::Rejected);
    EXPECT_EQ(sentences.rowCount(), 1); // cancelled: nothing changed
    EXPECT_EQ(sentences.field(0, SectionTitle), QStringLiteral("标题"));
}

TEST_F(ContentDialogs, ImportIntoASectionWithSentencesAsksReplaceOrAppend)
{
    const QString txt = write(file(QStringLiteral("New.txt")), "New 1\nNew 2\n");
    const QString wav = write(file(QStringLiteral("voice.wav")), "");
    struct Case {
        const char* button; // of the content-change dialog; null: Esc
        int choice;         // the answer the list keeps
        QStringList texts;
    };
    const Case cases[] = {
        {"replaceButton", 1, {"New 1", "New 2"}},
        {"appendButton", 2, {"Old 1", "Old 2", "New 1", "New 2"}},
        {nullptr, 0, {"Old 1", "Old 2"}},
    };
    for (const Case& c : cases) {
        sectionWithSentences();
        state.currentRow = 0;
        ASSERT_TRUE(library->SaveUnit());
        const QByteArray unitBefore = contents(state.unitFilePath);
        ModalScript script;
        script.then([&](QDialog& dialog) {
            auto& add = static_cast<AddContentDialog&>(dialog);
            dropFiles(&add, {txt});
            dropFiles(&add, {wav});
            QTest::mouseClick(add.okButton(), Qt::LeftButton);
        });
        bool stillOpen = false;
        script.then([&](QDialog& dialog) {
            EXPECT_EQ(&dialog, panel->contentChange());
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("内容变更"));
            EXPECT_EQ(panel->sentenceList()->changeDialog.data(), &dialog);
            if (c.button)
                return click(dialog, c.button);
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QTimer::singleShot(0, panel->addContent(), [&] { // open, to choose again
                stillOpen = panel->addContent()->isVisible();
                panel->addContent()->reject();
            });
        });
        panel->addContent()->openForCurrentRow();
        EXPECT_EQ(script.shown(), 2) << c.button;
        EXPECT_EQ(panel->sentenceList()->contentChangeChoice, c.choice);
        EXPECT_EQ(textsOfSection(0), c.texts) << (c.button ? c.button : "Esc");
        if (!c.button) { // not a byte of the Unit changed
            EXPECT_TRUE(stillOpen);
            ASSERT_TRUE(library->SaveUnit());
            EXPECT_EQ(contents(state.unitFilePath), unitBefore);
            continue;
        }
        // One media file for the whole Section, old sentences and new.
        for (int row = 0; row <= c.texts.size(); ++row)
            EXPECT_EQ(sentences.field(row, MediaPath), wav) << row;
        EXPECT_EQ(sentences.field(0, SectionTitle), QStringLiteral("New"));
        EXPECT_EQ(sentences.field(sentences.rowCount() - 1, SectionTitle), QStringLiteral("Next"));
    }
}

TEST_F(ContentDialogs, ClearRecordNeedsTheBoxAndKeepsTheFirstBackup)
{
    SentenceRow row = makeSentenceRow();
    row[Text] = QStringLiteral("Hello");
    row[Done] = QStringLiteral("1");
    row[Level] = QStringLiteral("3");
    row[StudiedAt] = QStringLiteral("20260105080000");
    sentences.appendRow(row);
    ASSERT_TRUE(library->SaveUnit());
    const QByteArray firstFile = contents(state.unitFilePath);
    const QString backup = folder.backupFolder() + QStringLiteral("Lesson 1(清除记录前备份) .dat");

    ModalScript script;
    script.then([&](QDialog& dialog) {
        auto& clear = static_cast<ClearRecordDialog&>(dialog);
        EXPECT_FALSE(clear.okButton()->isEnabled());
        QTest::mouseClick(clear.okButton(), Qt::LeftButton);
        EXPECT_TRUE(clear.isVisible()); // a disabled "确定" does nothing
        QTest::mouseClick(clear.confirmBox(), Qt::LeftButton);
        EXPECT_TRUE(clear.okButton()->isEnabled());
        QTest::mouseClick(clear.confirmBox(), Qt::LeftButton);
        EXPECT_FALSE(clear.okButton()->isEnabled());
        QTest::mouseClick(clear.confirmBox(), Qt::LeftButton);
        QTest::mouseClick(clear.okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(panel->clearRecord()->openForUnit(), QDialog::Accepted);
    EXPECT_EQ(contents(backup), firstFile);
    EXPECT_TRUE(state.unitModified);
    UnitReadResult unit = savedUnit();
    ASSERT_EQ(unit.rows.size(), 2u);
    EXPECT_EQ(unit.rows[1][Text], QStringLiteral("Hello"));
    EXPECT_EQ(unit.rows[1][Done], QStringLiteral("0"));
    EXPECT_EQ(unit.rows[1][Level], QStringLiteral("0"));
    EXPECT_EQ(unit.rows[1][StudiedAt], QStringLiteral("20140101010101"));

    // Cancelling changes nothing; a second clear keeps the first backup.
    sentences.setField(1, Level, QStringLiteral("2"));
    ASSERT_TRUE(library->SaveUnit());
    script.then([](QDialog& dialog) { click(dialog, "cancelButton"); });
    EXPECT_EQ(panel->clearRecord()->openForUnit(), QDialog::Rejected);
    EXPECT_EQ(sentences.field(1, Level), QStringLiteral("2"));
    script.then([](QDialog& dialog) {
        auto& clear = static_cast<ClearRecordDialog&>(dialog);
        EXPECT_FALSE(clear.confirmBox()->isChecked()); // reset on every opening
        QTest::mouseClick(clear.confirmBox(), Qt::LeftButton);
        QTest::mouseClick(clear.okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(panel->clearRecord()->openForUnit(), QDialog::Accepted);
    EXPECT_EQ(sentences.field(1, Level), QStringLiteral("0"));
    EXPECT_EQ(contents(backup), firstFile);
    EXPECT_EQ(script.unexpected(), 0);
}

} // namespace
} // namespace dictora

namespace dictora {
namespace {

TEST_F(ContentDialogs, TheDialogNamesTheChosenFilesAndSuggestsTidyReading)
{
    const QString srt =
        write(file(QStringLiteral("film.srt")), "1\n00:00:01,000 --> 00:00:02,000\n<i>Hello</i>\n");
    const QString mp3 = write(file(QStringLiteral("film.mp3")), "");
    write(file(QStringLiteral("film.wav")), ""); // the mp3 comes first whatever the order
    state.currentRow = 0;                        // the new Unit's "标题" Section, no media

    ModalScript script;
    script.then([&](QDialog& dialog) {
        auto& add = static_cast<AddContentDialog&>(dialog);
        // Nothing is chosen yet, and nothing is said to be missing.
        EXPECT_EQ(add.mediaField()->toPlainText(), QString());
        EXPECT_EQ(add.chosenLine()->text(), QString());
        EXPECT_EQ(add.tidyNote()->text(), QString());
        add.tidyBox()->setChecked(false);
        add.ApplyChosenFile(srt, true);
        EXPECT_EQ(add.chosenLine()->text(), QStringLiteral("文本: film.srt    影音: film.mp3"));
        EXPECT_EQ(add.mediaField()->toPlainText(), mp3);
        EXPECT_TRUE(add.tidyNote()->text().contains(QStringLiteral("整理歌词与字幕标签")));
        add.tidyBox()->setChecked(true); // the learner follows the suggestion
        EXPECT_EQ(add.tidyNote()->text(), QString());
        QTest::mouseClick(add.cancelButton(), Qt::LeftButton);
    });
    panel->addContent()->openForCurrentRow();
    EXPECT_EQ(script.shown(), 1);
}

} // namespace
} // namespace dictora
