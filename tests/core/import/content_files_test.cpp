// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/content_files.h"

#include "core/import/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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

namespace {

// A chosen file, the other names of its folder, and the companion expected
// whatever order the folder lists them in.
struct CompanionCase {
    const char* chosen;
    std::vector<const char*> others;
    const char* companion;
};

} // namespace

TEST(FileDrop, AddedOnlyInEditModeOutsideTheNotebookAndOnlyContentFiles)
{
    const QStringList lesson{QStringLiteral("/a/lesson.srt"), QStringLiteral("/a/lesson.mp3"),
                             QStringLiteral("/a/notes.doc")};
    const struct {
        const char* name;
        QStringList paths;
        bool edit, notebook;
        const char* refusal;
        int files;
    } cases[] = {
        {"Edit mode", lesson, true, false, "", 1},
        {"not in Edit mode", lesson, false, false, "请切换到编辑模式先", 0},
        {"the notebook", lesson, true, true, "生句本不能批量操作", 0},
        {"nothing to add", {QStringLiteral("/a/notes.doc")}, true, false, "文本,字幕,音乐,视频", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FileDrop drop = fileDrop(c.paths, c.edit, c.notebook);
        EXPECT_EQ(drop.refusal, QString::fromUtf8(c.refusal));
        EXPECT_EQ(drop.files.size(), c.files);
    }
}

TEST(ChooseCompanion, IsTheSameForEveryFolderOrder)
{
    const std::vector<CompanionCase> cases = {
        // A text takes media by the fixed preference, audio first.
        {"song.srt", {"song.lrc", "song.mp4", "song.mp3", "other.mp3"}, "song.mp3"},
        {"song.lrc", {"song.mkv", "song.avi", "song.wav"}, "song.wav"},
        {"film.srt", {"film.rm", "film.mpeg", "film.mkv"}, "film.mkv"},
        // A media file takes the timed text first, plain text last.
        {"song.mp3", {"song.txt", "song.srt", "song.lrc", "song.wav"}, "song.lrc"},
        {"film.mp4", {"film.txt", "film.vtt", "film.srt"}, "film.srt"},
        {"film.mkv", {"film.txt", "film.ass"}, "film.ass"},
        // Only the same base name counts: no name that merely starts with it.
        {"song.mp3", {"song-notes.doc", "song.en.srt", "songs.lrc", "song.txt"}, "song.txt"},
        {"song.mp3", {"song-notes.doc", "song.en.srt", "songs.lrc"}, ""},
        // Without regard to case; of two spellings the first by code point.
        {"Song [live].MP3",
         {"SONG [LIVE].Lrc", "song [live].lrc", "Song [other].lrc"},
         "SONG [LIVE].Lrc"},
        {"a.SRT", {"A.Mp3", "a.WAV"}, "A.Mp3"},
        // A file of no known kind has no companion; nor is the file itself one.
        {"notes.doc", {"notes.mp3", "notes.lrc"}, ""},
        {"song.mp3", {"song.mp3.bak", "song.ogg"}, ""},
    };
    for (const CompanionCase& c : cases) {
        std::vector<QString> entries;
        entries.push_back(QString::fromUtf8(c.chosen));
        for (const char* other : c.others)
            entries.push_back(QString::fromUtf8(other));
        std::sort(entries.begin(), entries.end());
        int orders = 0;
        do {
            const QStringList folder(entries.begin(), entries.end());
            EXPECT_EQ(chooseCompanion(QString::fromUtf8(c.chosen), folder),
                      QString::fromUtf8(c.companion))
                << c.chosen << " in " << folder.join(u',').toStdString();
            ++orders;
        } while (std::next_permutation(entries.begin(), entries.end()));
        EXPECT_GT(orders, 1);
    }
}

TEST(FindCompanionFile, NamesTheCompanionAsItIsSpeltInTheFolder)
{
    FileFolder folder;
    const QString song = folder.write("Song [live].MP3", "");
    EXPECT_EQ(FindCompanionFile(song), "");
    folder.write("Song [live]-notes.lrc", "");
    folder.write("Song [live].lrc.bak", "");
    EXPECT_EQ(FindCompanionFile(song), "");
    const QString lyric = folder.write("SONG [LIVE].Lrc", "");
    EXPECT_EQ(FindCompanionFile(song), lyric);
    EXPECT_EQ(FindCompanionFile(lyric), song);
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
    // The text of a pair stands for it, whichever came first.
    EXPECT_EQ(filesToAdd({QStringLiteral("/d/lesson.mp3"), QStringLiteral("/d/x.wav"),
                          QStringLiteral("/d/lesson.srt")}),
              (QStringList{QStringLiteral("/d/lesson.srt"), QStringLiteral("/d/x.wav")}));
}
