// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/media_player.h"

#include "core/media/fake_media.h"
#include "core/study/library_fixture.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace dictora::test {
namespace {

// The player over the program's unit library: ".." media paths name the
// Unit the library has open, whichever way it came to be open.
class OpenUnitMediaTest : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        player.setUnitLibrary(&library);
        player.setPause([](int) {});
    }

    QString touch(const QString& relative)
    {
        const QString path = folder.path + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path;
    }

    // A Section whose one sentence plays song.mp3 out of the Unit's own media
    // folder; sourceUnit is the Unit a Notebook row was taken from.
    std::vector<SentenceRow> copiedMediaRows(const QString& sourceUnit = {})
    {
        SentenceRow heading = title("Lesson");
        SentenceRow row = sentence("Hello there");
        for (SentenceRow* r : {&heading, &row}) {
            (*r)[MediaPath] = "..";
            (*r)[MediaName] = "song.mp3";
            if (!sourceUnit.isEmpty())
                (*r)[SectionTitle] = sourceUnit;
        }
        return {heading, row};
    }

    void open(const QString& name)
    {
        ASSERT_TRUE(library.OpenUnit(library.positionOf(name))) << name.toStdString();
    }

    // The open command the player sends for the sentence of row 1.
    QString openCommandOfRow1()
    {
        media.sent.clear();
        state.currentRow = 1;
        bool advancing = false;
        player.playRow(advancing);
        for (const QString& command : media.sent)
            if (command.startsWith("Open "))
                return command;
        return {};
    }

    FakeSpeech speech;
    MediaPlayer player{state, table, folder, media, speech};
};

TEST_F(OpenUnitMediaTest, ResolvesDotDotPathsUnderTheUnitsMediaFolder)
{
    const QString copied = touch("Media/Unit A/song.mp3");
    writeUnit("Unit A", copiedMediaRows());
    writeUnit("生句本", copiedMediaRows("Unit A"));
    library.ScanDataFolder();

    open("Unit A");
    EXPECT_EQ(player.mediaPathOfRow(1), copied);

    open("生句本");
    ASSERT_TRUE(state.isNotebook);
    EXPECT_EQ(player.mediaPathOfRow(1), copied); // the Notebook keeps the source Unit
    state.isNotebook = false;
    EXPECT_EQ(player.mediaPathOfRow(1), folder.path + "Media/生句本/song.mp3");
}

TEST_F(OpenUnitMediaTest, FollowsTheOpenUnitThroughSwitchAndRename)
{
    touch("Media/甲/song.mp3");
    touch("Media/乙/song.mp3");
    writeUnit("甲", copiedMediaRows());
    writeUnit("乙", copiedMediaRows());
    library.ScanDataFolder();

    open("甲");
    EXPECT_TRUE(openCommandOfRow1().startsWith("Open " + quotedPath(folder.path + "Media/甲/song.mp3")));

    open("乙");
    EXPECT_EQ(player.mediaPathOfRow(1), folder.path + "Media/乙/song.mp3");
    EXPECT_TRUE(openCommandOfRow1().startsWith("Open " + quotedPath(folder.path + "Media/乙/song.mp3")));

    // The rename moves the media folder with the Unit; the next play opens
    // the file there.
    ASSERT_TRUE(library.renameOpenUnit("丙").ok);
    EXPECT_TRUE(QFileInfo::exists(folder.path + "Media/丙/song.mp3"));
    EXPECT_EQ(player.mediaPathOfRow(1), folder.path + "Media/丙/song.mp3");
    EXPECT_TRUE(openCommandOfRow1().startsWith("Open " + quotedPath(folder.path + "Media/丙/song.mp3")));
}

} // namespace
} // namespace dictora::test
