// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/media_commands.h"
#include "core/study/unit_file.h"
#include "core/study/unit_library.h"

#include "study_fixtures.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace dictora::test {

// Keeps the command strings the library sends to the media layer.
class RecordedMedia : public MediaCommands {
public:
    QString send(const QString& command) override
    {
        sent << command;
        return {};
    }
    QStringList sent;
};

// A program folder in a temporary directory with a unit library over it.
class LibraryTest : public ::testing::Test {
protected:
    ScopedTimeZone zone{"Asia/Shanghai"};
    QTemporaryDir home;
    ProgramFolder folder{home.path() + "/"};
    StudyState state;
    SentenceTable table;
    RecordedMedia media;
    UnitLibrary library{folder, state, table, &media};
    QStringList failures;

    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        createDataFolders(folder);
        setNow("20260615151500");
        QObject::connect(&library, &UnitLibrary::saveFailed,
                         [this](const QString& message) { failures << message; });
    }
    void setNow(const char* stamp) { state.now = QDateTime::fromSecsSinceEpoch(at(stamp)); }
    QString dataPath(const QString& name) const { return folder.dataFolder() + name + ".dat"; }
    void writeUnit(const QString& name, const std::vector<SentenceRow>& rows,
                   const UnitHeader& header = kNewUnitHeader)
    {
        ASSERT_TRUE(writeAll(dataPath(name), encodeUnit(header, rows, name == "生句本")));
    }
    // The inode changes whenever a file is replaced, so an unchanged inode
    // and unchanged bytes mean the file was not written.
    static ino_t inodeOf(const QString& path)
    {
        struct stat info {};
        return ::stat(path.toLocal8Bit().constData(), &info) == 0 ? info.st_ino : 0;
    }
    QStringList backups() const
    {
        return QDir(folder.backupFolder()).entryList(QDir::Files, QDir::Name);
    }
};

} // namespace dictora::test
