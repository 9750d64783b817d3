#include "core/import/content_files.h"

#include "core/import/test_files.h"

#include <gtest/gtest.h>

using namespace dictora;
using dictora::test::FileFolder;

TEST(ContentFiles, KindIsDecidedByTheLastExtensionInAnyCase)
{
    for (const char* path : {"a.lrc", "/x/B.SRT", "c.Txt", "d.mp3.txt", "e.vtt", "f.ASS", "g.ssa"})
        EXPECT_TRUE(IsTextFile(path)) << path;
    for (const char* path : {"a.lrc.bak", "lrc", "/x.txt/readme", "a.text", ""})
        EXPECT_FALSE(IsTextFile(path)) << path;
    for (const char* path :
         {"a.mp3", "b.WAV", "c.wma", "d.mp4", "e.avi", "f.rm", "g.mpeg", "h.MKV"})
        EXPECT_TRUE(IsMediaFile(path)) << path;
    for (const char* path : {"a.mp", "b.ogg", "c.rmvb", "mp3", "a.lrc"})
        EXPECT_FALSE(IsMediaFile(path)) << path;
}

TEST(FindCompanionFile, TakesTheFirstOtherEntryWithTheSameNameStart)
{
    FileFolder folder;
    const QString song = folder.write("song.mp3", "");
    EXPECT_EQ(FindCompanionFile(song), "");
    const QString lyric = folder.write("song.lrc", "");
    EXPECT_EQ(FindCompanionFile(song), lyric);
    EXPECT_EQ(FindCompanionFile(lyric), song);
    folder.write("other.txt", "");
    EXPECT_EQ(FindCompanionFile(song), lyric);
    // "song-notes.doc" sorts before "song.lrc": only the first entry is looked at.
    const QString notes = folder.write("song-notes.doc", "");
    EXPECT_EQ(FindCompanionFile(song), notes);
    EXPECT_FALSE(IsTextFile(FindCompanionFile(song)));
}

TEST(FindCompanionFile, MatchesWithoutRegardToCaseAndNamesAFileThatExists)
{
    FileFolder folder;
    const QString song = folder.write("Song [live].MP3", "");
    const QString lyric = folder.write("SONG [LIVE].Lrc", "");
    folder.write("Song [other].txt", ""); // "[" is no wildcard
    EXPECT_EQ(FindCompanionFile(song), lyric);
    EXPECT_TRUE(QFile::exists(FindCompanionFile(song)));
    EXPECT_EQ(FindCompanionFile(folder.path("missing/x.mp3")), "");
}

TEST(DroppedFiles, KindsByExtensionAndOneFilePerBaseName)
{
    EXPECT_TRUE(isDroppableFile(QStringLiteral("/a/b/Lesson.SRT")));
    EXPECT_TRUE(isDroppableFile(QStringLiteral("/a/b.c/x.rm")));
    EXPECT_FALSE(isDroppableFile(QStringLiteral("/a/b.c/lrc")));
    EXPECT_FALSE(isDroppableFile(QStringLiteral("/a/notes.doc")));
    EXPECT_FALSE(isDroppableFile(QStringLiteral("/a/x.mp3.bak")));
    // Subtitles read like .srt are dropped like it.
    EXPECT_TRUE(isDroppableFile(QStringLiteral("/a/film.vtt")));
    EXPECT_TRUE(isDroppableFile(QStringLiteral("/a/film.ASS")));
    const QStringList dropped = {QStringLiteral("/d/one.srt"), QStringLiteral("/d/one.mp3"),
                                 QStringLiteral("/d/two.doc"), QStringLiteral("/e/two.mp3"),
                                 QStringLiteral("/e/one.txt")};
    EXPECT_EQ(filesToAdd(dropped),
              (QStringList{QStringLiteral("/d/one.srt"), QStringLiteral("/e/two.mp3")}));
    EXPECT_TRUE(filesToAdd({QStringLiteral("/d/a.doc"), QStringLiteral("/d/b")}).isEmpty());
}
