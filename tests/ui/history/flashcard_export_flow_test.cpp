// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import/modal_script.h"

#include "core/study/unit_library.h"
#include "support/ui/study_screen.h"
#include "ui/history/flashcard_export_run.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

namespace dictora {
namespace {

struct FlashcardExportFlow : ::testing::Test, test::StudyScreen {
    ~FlashcardExportFlow() override { closeStudyScreen(); }
};

TEST_F(FlashcardExportFlow, MakesThePackageChosenAndNamesTheSpokenSentences)
{
    qputenv("DICTORA_CLI", DICTORA_CLI_PATH);
    buildStudyScreen({});
    openFirstUnit();
    ASSERT_TRUE(library->createUnit(QStringLiteral("Lesson 1")).ok);
    for (const char* text : {"Good morning.", "See you."}) {
        SentenceRow row = makeSentenceRow();
        row[Text] = QString::fromUtf8(text);
        table.appendRow(row);
    }
    state.unitModified = true; // the export saves the Unit before it reads it
    const QString package = home.filePath("Lesson 1.apkg");
    QString summary;
    test::ModalScript script;
    script.then([](QDialog& choice) {
        choice.findChild<QCheckBox*>("recallCards")->setChecked(true);
        choice.accept(); // a package, the first choice
    });
    script.then([&](QDialog& files) {
        static_cast<QFileDialog&>(files).selectFile(package);
        files.accept();
    });
    script.then([](QDialog&) {}); // the progress dialog: left to the export
    script.then([&](QDialog& box) {
        summary = static_cast<QMessageBox&>(box).text();
        box.accept();
    });
    exportOpenUnit(*panel);
    ASSERT_TRUE(QTest::qWaitFor([&] { return script.done(); }, 60000));

    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_TRUE(summary.contains(package) &&
                summary.contains("2 句没有可用的媒体, 由语音朗读: “Good morning.”"))
        << summary.toStdString();
    EXPECT_TRUE(QFileInfo(package).size() > 1000) << "the package";
}

} // namespace
} // namespace dictora
