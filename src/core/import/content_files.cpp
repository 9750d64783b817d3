// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/content_files.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

namespace dictora {

namespace {

QString lowerExtension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? QString() : path.mid(dot).toLower();
}

} // namespace

bool IsTextFile(const QString& path)
{
    static const QStringList extensions = {".lrc", ".srt", ".txt", ".vtt", ".ass", ".ssa"};
    return extensions.contains(lowerExtension(path));
}

QString textFileFilter()
{
    return QStringLiteral("(*.lrc *.srt *.txt *.vtt *.ass *.ssa)");
}

bool IsMediaFile(const QString& path)
{
    static const QStringList extensions = {".mp3", ".wav", ".wma",  ".mp4",
                                           ".avi", ".rm",  ".mpeg", ".mkv"};
    return extensions.contains(lowerExtension(path));
}

bool isDroppableFile(const QString& path)
{
    return IsTextFile(path) || IsMediaFile(path);
}

QStringList filesToAdd(const QStringList& paths)
{
    QStringList files;
    QHash<QString, qsizetype> placeOfBase;
    for (const QString& path : paths) {
        if (!isDroppableFile(path))
            continue;
        const QString name = path.mid(path.lastIndexOf(u'/') + 1);
        const QString base = name.left(name.lastIndexOf(u'.'));
        const auto known = placeOfBase.constFind(base);
        if (known == placeOfBase.cend()) {
            placeOfBase.insert(base, files.size());
            files << path;
        } else if (IsTextFile(path) && !IsTextFile(files[*known])) {
            // The text stands for the pair: its media is found beside it,
            // whichever of the two came first.
            files[*known] = path;
        }
    }
    return files;
}

QString chooseCompanion(const QString& fileName, const QStringList& folderEntries)
{
    const QStringList* order = nullptr;
    if (IsTextFile(fileName))
        order = &kCompanionMediaOrder;
    else if (IsMediaFile(fileName))
        order = &kCompanionTextOrder;
    else
        return {};
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString stem = fileName.left(dot).toLower();
    QString best;
    qsizetype bestRank = order->size();
    for (const QString& entry : folderEntries) {
        const qsizetype entryDot = entry.lastIndexOf(u'.');
        if (entryDot < 0 || entry.left(entryDot).toLower() != stem)
            continue;
        const qsizetype rank = order->indexOf(entry.mid(entryDot).toLower());
        if (rank < 0)
            continue;
        if (rank < bestRank || (rank == bestRank && entry < best)) {
            best = entry;
            bestRank = rank;
        }
    }
    return best;
}

QString FindCompanionFile(const QString& path)
{
    const QFileInfo info(path);
    QDir folder = info.absoluteDir();
    folder.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    folder.setSorting(QDir::Unsorted);
    const QString entry = chooseCompanion(info.fileName(), folder.entryList());
    return entry.isEmpty() ? QString() : folder.filePath(entry);
}

FileDrop fileDrop(const QStringList& paths, bool editMode, bool isNotebook)
{
    FileDrop drop;
    if (isNotebook) {
        drop.refusal = QStringLiteral("生句本不能批量操作");
        return drop;
    }
    if (!editMode) {
        drop.refusal = QStringLiteral("请切换到编辑模式先");
        return drop;
    }
    drop.files = filesToAdd(paths);
    if (drop.files.isEmpty())
        drop.refusal = QStringLiteral("文本,字幕,音乐,视频");
    return drop;
}

} // namespace dictora
