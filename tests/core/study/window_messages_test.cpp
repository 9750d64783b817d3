// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/unit_library.h"
#include "core/study/window_messages.h"

#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(WindowMessages, CoreFailuresReadInChineseWithTheirPathsKept)
{
    struct Case {
        QString core;
        QString shown;
    } cases[] = {
        {"cannot save /h/Data/课文.dat: No space left on device (while writing the new copy); "
         "the file is left as it was",
         "无法保存 /h/Data/课文.dat: 磁盘已满 (写入新副本时); 原文件保持不变"},
        {"cannot save /h/Data/新.dat: Read-only file system (while creating the new copy); no "
         "file was made",
         "无法保存 /h/Data/新.dat: 文件系统只读 (创建新副本时); 没有生成文件"},
        {"cannot save /h/Data/a.dat: the file is read-only; it is left as it was",
         "无法保存 /h/Data/a.dat: 文件是只读的; 原文件保持不变"},
        {"cannot read /h/Data/a.dat: Permission denied; it is left as it is",
         "无法读取 /h/Data/a.dat: 没有权限; 文件保持不变"},
        {"cannot read the Unit file /h/Data/b.dat: Permission denied; it is not listed",
         "无法读取单元文件 /h/Data/b.dat: 没有权限; 它不列在单元列表中"},
        {"Lesson 1 was not renamed: cannot save /h/Data/L2.dat: Permission denied (while "
         "creating the new copy); the file is left as it was",
         "Lesson 1 没有改名: 无法保存 /h/Data/L2.dat: 没有权限 (创建新副本时); 原文件保持不变"},
        {"课文 was not renamed: its media folder /h/Media/课文 cannot be renamed. The rename was "
         "undone; the Unit keeps its name and file",
         "课文 没有改名: 它的媒体文件夹 /h/Media/课文 无法改名. 改名已撤销, 单元保留原名和原文件."},
        {"课文 was not renamed: its file /h/Data/课文.dat cannot be removed (Permission denied). "
         "The rename was undone, but the media folder is now /h/Media/新",
         "课文 没有改名: 它的文件 /h/Data/课文.dat 无法删除 (没有权限). 改名已撤销, "
         "但媒体文件夹现在是 /h/Media/新"},
        {"a was not renamed: the media folder /h/Media/b exists already",
         "a 没有改名: 媒体文件夹 /h/Media/b 已经存在"},
        {"the Sentence Notebook cannot be deleted", "生句本不能删除"},
        {"cannot delete /h/Data/a.dat: Read-only file system",
         "无法删除 /h/Data/a.dat: 文件系统只读"},
        {"cannot take the program folder /h/ for writing: /h/Dictora.lock is a symbolic link; "
         "remove it, or Dictora cannot tell other writers to wait",
         "无法占用程序文件夹 /h/ 来写入: /h/Dictora.lock 是一个符号链接; 请删除它, 否则 Dictora "
         "无法让其他写入者等待"},
        {"cannot take the program folder /h/ for writing: cannot open /h/Dictora.lock: "
         "Permission denied",
         "无法占用程序文件夹 /h/ 来写入: 无法打开或锁定 /h/Dictora.lock: 没有权限"},
        {"cannot read /h/Data/生句本.dat: it is a link to /m/生句本.dat, which is not there; it "
         "is left as it is",
         "无法读取 /h/Data/生句本.dat: 它是指向 /m/生句本.dat 的链接, 而那里没有文件; 文件保持不变"},
        {"cannot save /h/Data/a.dat: it is a link to /m/a.dat, which is not there; the link is "
         "left as it is",
         "无法保存 /h/Data/a.dat: 它是指向 /m/a.dat 的链接, 而那里没有文件; 链接保持不变"},
        {"cannot save /h/Data/a.dat: it would be larger than 64 MB, more than a Unit may hold; "
         "the file is left as it was",
         "无法保存 /h/Data/a.dat: 文件将超过 64 MB, 超出单元文件的上限; 原文件保持不变"},
        {"the Unit 'a' stays open until its changes are saved",
         "单元 \"a\" 的修改保存之前, 它保持打开"},
        // Already Chinese, or unknown: unchanged.
        {"课文 单元名已经存在.", "课文 单元名已经存在."},
        {"something new", "something new"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(windowMessage(c.core), c.shown) << c.core.toStdString();

    const DamagedUnit damaged{"课文", "/h/Data/课文.dat",
                              "/h/Backup/课文 (损坏 20260101_010101).dat", 3, 120};
    EXPECT_EQ(windowMessage(damagedUnitNotice(damaged)),
              "单元 \"课文\" 的文件从第 120 字节起已损坏: 损坏之前完整的 3 行已保留, "
              "原文件另存为 /h/Backup/课文 (损坏 20260101_010101).dat");
}

} // namespace
} // namespace dictora
