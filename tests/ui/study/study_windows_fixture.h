#pragma once

#include "core/media/media_commands.h"
#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/unit_file.h"
#include "core/study/unit_library.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/shell/study_services.h"
#include "ui/shell/tip_window.h"
#include "ui/study/progress_panel.h"
#include "ui/study/status_item.h"
#include "ui/study/unit_settings_dialog.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace dictora::test {

// Keeps the command strings sent to the media layer.
class SentCommands : public MediaCommands {
public:
    QString send(const QString& command) override
    {
        sent << command;
        return {};
    }
    QStringList sent;
};

// The study screen over a program folder in a temporary directory: the main
// panel with every window it owns, the unit library started as the program
// starts it (Notebook open).
class StudyWindows : public ::testing::Test {
protected:
    QTemporaryDir home;
    ProgramFolder folder{home.path() + "/"};
    StudyState state;
    SentenceTable table;
    SentCommands media;
    std::unique_ptr<UnitLibrary> library;
    std::unique_ptr<StudyServices> services;
    std::unique_ptr<MainPanelDialog> panel;

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        createDataFolders(folder);
        start();
    }
    void TearDown() override
    {
        panel.reset();
        library.reset();
    }
    // Builds the windows over whatever the Data folder holds now.
    void start()
    {
        panel.reset();
        library = std::make_unique<UnitLibrary>(folder, state, table, &media);
        services = std::make_unique<StudyServices>(
            StudyServices{state, table, folder, &media, library.get()});
        panel = std::make_unique<MainPanelDialog>(nullptr, *services);
        panel->createOwnedWindows();
        if (library->openPosition() < 0) {
            library->ScanDataFolder();
            library->OpenUnit(0);
        }
    }

    ProgressPanel& progress() { return *panel->progressPanel(); }
    UnitSettingsDialog& dialog() { return *panel->unitSettings(); }
    StatusItem& item(StatusItemType type) { return *progress().item(type); }
    TipWindow& tip() { return *panel->tipWindow(); }

    QString dataPath(const QString& name) const { return folder.dataFolder() + name + ".dat"; }
    void writeUnit(const QString& name, const std::vector<SentenceRow>& rows,
                   const UnitHeader& header = kNewUnitHeader)
    {
        QFile file(dataPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(encodeUnit(header, rows, false));
    }
    static SentenceRow sentence(const QString& text)
    {
        SentenceRow row = makeSentenceRow();
        row[StartMs] = "0";
        row[EndMs] = "1000";
        row[Text] = text;
        row[Done] = "0";
        row[Level] = "0";
        row[StudiedAt] = kDefaultStampText;
        return row;
    }
    static SentenceRow title(const QString& text)
    {
        SentenceRow row = makeTitleRow(text);
        row[StudiedAt] = kDefaultStampText;
        return row;
    }

    // The message box the dialog shows now, if any.
    QMessageBox* messageBox(const char* name)
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String(name) && w->isVisible())
                return static_cast<QMessageBox*>(w);
        }
        return nullptr;
    }
};

} // namespace dictora::test
