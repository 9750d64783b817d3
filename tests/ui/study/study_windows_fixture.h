// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/media_commands.h"
#include "core/study/unit_file.h"
#include "support/ui/study_screen.h"
#include "ui/study/progress_panel.h"
#include "ui/study/status_item.h"
#include "ui/study/unit_settings_dialog.h"
#include "ui/widgets/tip_window.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>

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
class StudyWindows : public ::testing::Test, protected StudyScreen {
protected:
    SentCommands media;

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        start();
    }
    void TearDown() override { closeStudyScreen(); }
    // Builds the windows over whatever the Data folder holds now.
    void start()
    {
        buildStudyScreen({.media = &media});
        openFirstUnit();
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
