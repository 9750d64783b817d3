// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/window_messages.h"

#include <QRegularExpression>

#include <vector>

namespace dictora {

namespace {

struct Phrase {
    QRegularExpression english;
    QString chinese; // \1, \2 ... stand for the captured parts
};

// Longer forms first; a form that holds another (a rename that failed
// because a save failed) is matched after its inner part was turned.
const std::vector<Phrase>& phrases()
{
    static const std::vector<Phrase> table = [] {
        const auto p = [](const char* english, const char* chinese) {
            return Phrase{QRegularExpression(QString::fromUtf8(english)),
                          QString::fromUtf8(chinese)};
        };
        return std::vector<Phrase>{
            // Reasons the system gives.
            p("Permission denied", "没有权限"),
            p("No space left on device", "磁盘已满"),
            p("Disk quota exceeded", "超出磁盘配额"),
            p("Read-only file system", "文件系统只读"),
            p("No such file or directory", "文件或文件夹不存在"),
            p("Not a directory", "路径中有一项不是文件夹"),
            p("Is a directory", "这是一个文件夹"),
            p("Input/output error", "磁盘读写出错"),
            p("File name too long", "文件名太长"),
            p("File exists", "文件已存在"),
            p("Directory not empty", "文件夹不是空的"),
            p("it is a link to (.+?), which is not there", "它是指向 \\1 的链接, 而那里没有文件"),
            // The steps of a save.
            p("\\(while creating the new copy\\)", "(创建新副本时)"),
            p("\\(while writing the new copy\\)", "(写入新副本时)"),
            p("\\(while flushing the new copy\\)", "(写出新副本时)"),
            p("\\(while syncing the new copy to disk\\)", "(把新副本写入磁盘时)"),
            p("\\(while closing the new copy\\)", "(关闭新副本时)"),
            p("\\(while putting the new copy in place\\)", "(用新副本替换原文件时)"),
            // Saving and reading.
            p("cannot save (.+?): it would be larger than 64 MB, more than a Unit may hold; the "
              "file is left as it was",
              "无法保存 \\1: 文件将超过 64 MB, 超出单元文件的上限; 原文件保持不变"),
            p("cannot save (.+?): the file is read-only; it is left as it was",
              "无法保存 \\1: 文件是只读的; 原文件保持不变"),
            p("cannot save (.+?): (.+?); the link is left as it is",
              "无法保存 \\1: \\2; 链接保持不变"),
            p("cannot save (.+?): (.+?); the file is left as it was",
              "无法保存 \\1: \\2; 原文件保持不变"),
            p("cannot save (.+?): (.+?); no file was made", "无法保存 \\1: \\2; 没有生成文件"),
            p("cannot read the Unit file (.+?): (.+?); it is not listed",
              "无法读取单元文件 \\1: \\2; 它不列在单元列表中"),
            p("cannot read (.+?): the file is damaged; it is left as it is",
              "无法读取 \\1: 文件已损坏; 文件保持不变"),
            p("cannot read (.+?): (.+?); it is left as it is", "无法读取 \\1: \\2; 文件保持不变"),
            p("(.+?) is larger than 64 MB, far beyond any Unit; it is not read and is left as it "
              "is",
              "\\1 大于 64 MB, 不可能是单元文件; 没有读取, 文件保持不变"),
            p("the Unit '(.+?)' was damaged after byte (\\d+): the (\\d+) complete rows before the "
              "damage are kept, and the original file is kept as (.+)$",
              "单元 \"\\1\" 的文件从第 \\2 字节起已损坏: 损坏之前完整的 \\3 行已保留, "
              "原文件另存为 \\4"),
            p("(.+?) is damaged and no copy of it could be kept in (.+?) \\((.+)\\); it is not "
              "rewritten",
              "\\1 已损坏, 但无法在 \\2 中保存它的副本 (\\3); 文件没有被改写"),
            // Renaming and deleting.
            p("its media folder (.+?) cannot be renamed", "它的媒体文件夹 \\1 无法改名"),
            p("its file (.+?) cannot be removed \\((.+?)\\)", "它的文件 \\1 无法删除 (\\2)"),
            p("the media folder is now (.+?)(?=; |$)", "媒体文件夹现在是 \\1"),
            p("the Sentence Notebook (.+?) still names the new media folder(?=; |$)",
              "生句本 \\1 仍指向新的媒体文件夹"),
            p("the new file (.+?) could not be taken away: remove it before the next start, or "
              "the Unit is listed twice",
              "新文件 \\1 无法删除: 请在下次启动前删除它, 否则单元会列出两次"),
            p("^(.+?) was not renamed: the media folder (.+) exists already$",
              "\\1 没有改名: 媒体文件夹 \\2 已经存在"),
            p("^(.+?) was not renamed: (.+)\\. The rename was undone; the Unit keeps its name "
              "and file$",
              "\\1 没有改名: \\2. 改名已撤销, 单元保留原名和原文件."),
            p("^(.+?) was not renamed: (.+)\\. The rename was undone, but (.+)$",
              "\\1 没有改名: \\2. 改名已撤销, 但\\3"),
            p("^(.+?) was not renamed: (.+)$", "\\1 没有改名: \\2"),
            p("^no Unit is open$", "没有打开的单元"),
            p("^the Sentence Notebook keeps its name$", "生句本不能改名"),
            p("^the Sentence Notebook cannot be deleted$", "生句本不能删除"),
            p("^cannot delete (.+?): (.+)$", "无法删除 \\1: \\2"),
            p("^the Unit '(.+?)' stays open until its changes are saved$",
              "单元 \"\\1\" 的修改保存之前, 它保持打开"),
            // The program folder's lock.
            p("(.+?) is a symbolic link; remove it, or Dictora cannot tell other writers to wait",
              "\\1 是一个符号链接; 请删除它, 否则 Dictora 无法让其他写入者等待"),
            p("(.+?) is not a plain file; remove it, or Dictora cannot tell other writers to wait",
              "\\1 不是普通文件; 请删除它, 否则 Dictora 无法让其他写入者等待"),
            p("(.+?) belongs to another user; remove it, or Dictora cannot tell other writers "
              "to wait",
              "\\1 属于另一个用户; 请删除它, 否则 Dictora 无法让其他写入者等待"),
            p("(.+?) is another name of a file \\(a hard link\\); remove it, or Dictora cannot "
              "tell other writers to wait",
              "\\1 是另一个文件的硬链接; 请删除它, 否则 Dictora 无法让其他写入者等待"),
            p("^cannot take the program folder (.+?) for writing: cannot (?:open|lock) (.+?): "
              "(.+)$",
              "无法占用程序文件夹 \\1 来写入: 无法打开或锁定 \\2: \\3"),
            p("^cannot take the program folder (.+?) for writing: (.+)$",
              "无法占用程序文件夹 \\1 来写入: \\2"),
        };
    }();
    return table;
}

} // namespace

QString windowMessage(const QString& coreMessage)
{
    QString text = coreMessage;
    for (const Phrase& phrase : phrases())
        text.replace(phrase.english, phrase.chinese);
    return text;
}

} // namespace dictora
