// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/handed_files.h"

#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(HandedFiles, CommandLineNamesFilesAfterQtsOwnOptions)
{
    struct Case {
        QStringList arguments;
        QStringList files;
    };
    const Case cases[] = {
        {{}, {}},
        {{"lesson.srt"}, {"/home/me/lesson.srt"}},
        {{"../a.lrc", "/tmp/b c.mp3"}, {"/home/a.lrc", "/tmp/b c.mp3"}},
        {{"-platform", "xcb", "a.srt"}, {"/home/me/a.srt"}},
        {{"-platform=xcb", "-reverse", "a.srt"}, {"/home/me/a.srt"}},
        {{"--style", "fusion", "a.srt"}, {"/home/me/a.srt"}},
        {{"--", "-dash.srt"}, {"/home/me/-dash.srt"}},
        {{"file:///tmp/%E8%AF%BE.lrc"}, {"/tmp/课.lrc"}},
        {{"file://elsewhere/x.lrc", "", "-"}, {"/home/me/-"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(handedFilesFromArguments(c.arguments, QStringLiteral("/home/me")), c.files)
            << c.arguments.join(u' ').toStdString();
}

TEST(HandedFiles, MessageCarriesAnyPathAndRefusesWhatIsNotOne)
{
    const QStringList paths = {"/tmp/a b.srt", "/tmp/新\nline.lrc", "/tmp/c.mp3"};
    EXPECT_EQ(decodeHandedFiles(encodeHandedFiles(paths)), paths);
    EXPECT_TRUE(decodeHandedFiles(encodeHandedFiles({})).isEmpty());
    EXPECT_TRUE(decodeHandedFiles(QByteArray()).isEmpty());
    EXPECT_TRUE(decodeHandedFiles(QByteArray("/tmp/a.srt\0", 11)).isEmpty());
    // A message cut off in a path keeps the whole paths before it; relative
    // paths are not taken.
    QByteArray cut = encodeHandedFiles({"/tmp/a.srt", "relative.srt", "/tmp/b.srt"});
    cut.chop(3);
    EXPECT_EQ(decodeHandedFiles(cut), QStringList{"/tmp/a.srt"});
    // Only a message with its end is whole: the running copy answers it.
    EXPECT_TRUE(isWholeHandedFilesMessage(encodeHandedFiles(paths)));
    EXPECT_TRUE(isWholeHandedFilesMessage(encodeHandedFiles({})));
    for (const QByteArray& part :
         {cut, encodeHandedFiles(paths).chopped(1), QByteArray("\0\0", 2)})
        EXPECT_FALSE(isWholeHandedFilesMessage(part));
}

TEST(HandedFiles, AddedToTheOpenUnitAsADropElseTheLearnerIsToldWhere)
{
    using Kind = HandedFilesStep::Kind;
    struct Case {
        QStringList paths;
        bool unitOpen, isNotebook, editMode, dialogOpen;
        Kind kind;
        QStringList files;
        bool switchToEdit, errorCue;
        const char* tip;
    };
    const QStringList lesson = {"/t/lesson.srt", "/t/lesson.mp3", "/t/notes.pdf"};
    const Case cases[] = {
        {lesson, true, false, false, false, Kind::AddContent, {"/t/lesson.srt"}, true, false, ""},
        {lesson, true, false, true, false, Kind::AddContent, {"/t/lesson.srt"}, false, false, ""},
        {{"/t/notes.pdf"}, true, false, true, false, Kind::NotContent, {}, false, true,
         "文本,字幕,音乐,视频"},
        {{"/t/notes.pdf"}, false, false, false, true, Kind::NotContent, {}, false, true,
         "文本,字幕,音乐,视频"},
        {lesson, true, false, true, true, Kind::DialogOpen, {}, false, true,
         "请先关闭打开的对话框,再添加文件"},
        {lesson, true, true, false, false, Kind::NewUnit, {"/t/lesson.srt"}, true, false, ""},
        {lesson, false, false, false, false, Kind::NoUnitOpen, {}, false, false,
         "请先在单元列表中新建或打开一个单元,再添加文件"},
    };
    for (const Case& c : cases) {
        const HandedFilesStep step =
            planHandedFiles(c.paths, c.unitOpen, c.isNotebook, c.editMode, c.dialogOpen);
        SCOPED_TRACE(c.tip);
        EXPECT_EQ(step.kind, c.kind);
        EXPECT_EQ(step.files, c.files);
        EXPECT_EQ(step.switchToEdit, c.switchToEdit);
        EXPECT_EQ(step.errorCue, c.errorCue);
        EXPECT_EQ(step.tip, QString::fromUtf8(c.tip));
    }
}

TEST(HandedFiles, ANewUnitIsNamedAfterTheFileAndMadeUnique)
{
    const auto taken = [](const QString& name) { return name == "lesson" || name == "lesson (2)"; };
    for (const auto& [path, name] : std::vector<std::pair<QString, QString>>{
             {"/t/lesson.srt", "lesson (3)"}, {"/t/a:b?.mp3", "a_b_"}, {"/t/..x.srt", "x"},
             {"/t/.srt", "新单元"}})
        EXPECT_EQ(newUnitNameFor(path, taken), name) << path.toStdString();
}

} // namespace
} // namespace dictora
