// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/handed_files.h"

#include "core/import/content_files.h"
#include "core/study/unit_names.h"

#include <QDir>
#include <QUrl>

namespace dictora {

namespace {

// Qt's own command-line options that take a value as the next argument.
bool takesValue(const QString& option)
{
    static const QStringList withValue = {
        "-platform",    "-platformpluginpath", "-platformtheme", "-plugin",
        "-qwindowgeometry", "-qwindowtitle",   "-qwindowicon",   "-display",
        "-geometry",    "-title",              "-name",          "-style",
        "-stylesheet",  "-session",            "-font",          "-bg",
        "-background",  "-fg",                 "-foreground",    "-btn",
        "-button",      "-visual",             "-cmap",          "-inputstyle",
        "-im",          "-qmljsdebugger",
    };
    QString name = option.section(u'=', 0, 0);
    if (name.startsWith(QStringLiteral("--")))
        name.remove(0, 1);
    return !option.contains(u'=') && withValue.contains(name);
}

// Marks the message as ours: a knock from an older copy or any other
// program's bytes are not taken for files.
constexpr char kMagic[] = "dictora-open\n";

} // namespace

QStringList handedFilesFromArguments(const QStringList& arguments, const QString& currentFolder)
{
    QStringList files;
    const QDir here(currentFolder);
    bool options = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (options && argument == QStringLiteral("--")) {
            options = false;
            continue;
        }
        if (options && argument.startsWith(u'-') && argument.size() > 1) {
            if (takesValue(argument))
                ++i;
            continue;
        }
        if (argument.isEmpty())
            continue;
        QString path = argument;
        if (argument.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)) {
            const QUrl url(argument);
            // A file on another machine cannot be read from here.
            const bool here = url.host().isEmpty() || url.host() == QStringLiteral("localhost");
            if (!url.isLocalFile() || !here)
                continue;
            path = url.toLocalFile();
        }
        files << QDir::cleanPath(here.absoluteFilePath(path));
    }
    return files;
}

QByteArray encodeHandedFiles(const QStringList& paths)
{
    QByteArray message(kMagic);
    for (const QString& path : paths) {
        if (path.isEmpty())
            continue;
        message += path.toUtf8();
        message += '\0';
    }
    message += '\0';
    return message;
}

bool isWholeHandedFilesMessage(const QByteArray& message)
{
    // No name is empty, so two terminators in a row only ever end a message;
    // a message of no names is the magic and the end alone.
    constexpr qsizetype magicSize = qsizetype(sizeof kMagic) - 1;
    return message.startsWith(kMagic) &&
           (message.endsWith(QByteArray("\0\0", 2)) ||
            (message.size() == magicSize + 1 && message.endsWith('\0')));
}

QStringList decodeHandedFiles(const QByteArray& message)
{
    if (!message.startsWith(kMagic))
        return {};
    QStringList paths;
    const QList<QByteArray> parts = message.mid(int(sizeof kMagic) - 1).split('\0');
    // The last part follows the last terminator: empty in a whole message,
    // an unterminated (cut off) path otherwise; either way not a file.
    // An empty name ends the message.
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); ++i) {
        const QString path = QString::fromUtf8(parts[i]);
        if (QDir::isAbsolutePath(path))
            paths << path;
    }
    return paths;
}

QString newUnitNameFor(const QString& path, const std::function<bool(const QString&)>& taken)
{
    const QString fileName = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    QString base = dot < 0 ? fileName : fileName.left(dot);
    for (QChar& c : base) {
        if (c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = u'_';
    }
    while (base.startsWith(u'.'))
        base.remove(0, 1);
    base = base.trimmed();
    if (base.isEmpty() || !isAcceptableUnitName(base))
        base = QStringLiteral("新单元");
    QString name = base;
    for (int n = 2; taken(name); ++n)
        name = QStringLiteral("%1 (%2)").arg(base).arg(n);
    return name;
}

HandedFilesStep planHandedFiles(const QStringList& paths, bool unitOpen, bool isNotebook,
                                bool editMode, bool dialogOpen)
{
    HandedFilesStep step;
    step.files = filesToAdd(paths);
    if (step.files.isEmpty()) {
        // The same refusal as a drop of such files on the sentence list.
        step.kind = HandedFilesStep::Kind::NotContent;
        step.tip = QStringLiteral("文本,字幕,音乐,视频");
        step.errorCue = true;
        return step;
    }
    if (dialogOpen) {
        step.kind = HandedFilesStep::Kind::DialogOpen;
        step.tip = QStringLiteral("请先关闭打开的对话框,再添加文件");
        step.errorCue = true;
    } else if (!unitOpen) {
        step.kind = HandedFilesStep::Kind::NoUnitOpen;
        step.tip = QStringLiteral("请先在单元列表中新建或打开一个单元,再添加文件");
    } else if (isNotebook) {
        // The Notebook takes sentences one by one: the files make a Unit.
        step.kind = HandedFilesStep::Kind::NewUnit;
        step.switchToEdit = true;
        return step;
    } else {
        step.kind = HandedFilesStep::Kind::AddContent;
        step.switchToEdit = !editMode;
        return step;
    }
    step.files.clear();
    return step;
}

} // namespace dictora
