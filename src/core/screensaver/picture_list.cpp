// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/screensaver/picture_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dictora {

QStringList PictureList::pictureFiles(const QString& cfgFolder)
{
    // Name filters of QDir ignore case unless told otherwise.
    QStringList files = QDir(cfgFolder).entryList({QStringLiteral("dsc*")}, QDir::Files,
                                                  QDir::Name | QDir::IgnoreCase);
    if (files.size() > kSlots)
        files.resize(kSlots);
    return files;
}

PictureList::PictureList(QStringList names) : names_(std::move(names))
{
    if (names_.size() > kSlots)
        names_.resize(kSlots);
    index_ = names_.isEmpty() ? -1 : int(names_.size());
}

QString PictureList::takeNext()
{
    if (index_ < 0 || index_ >= names_.size()) {
        index_ = 0;
        return {};
    }
    return names_.at(index_++);
}

QString PictureList::nameFor(const QString& chosenFile)
{
    return QStringLiteral("Dsc") + QFileInfo(chosenFile).fileName();
}

PictureList::Added PictureList::add(const QString& cfgFolder, const QString& chosenFile)
{
    Added added;
    added.name = nameFor(chosenFile);
    const int listed = int(names_.indexOf(added.name));
    if (listed >= 0) {
        index_ = listed;
        added.result = AddResult::AlreadyListed;
        return added;
    }
    if (names_.size() >= kSlots)
        return added;
    // QFile::copy never replaces an existing file.
    added.copied = QFile::copy(chosenFile, QDir(cfgFolder).filePath(added.name));
    names_ << added.name;
    index_ = int(names_.size()) - 1;
    added.result = AddResult::Added;
    return added;
}

QString PictureList::removeShown(const QString& cfgFolder)
{
    const int shown = index_ - 1;
    if (shown < 0 || shown >= names_.size())
        return {};
    const QString removed = names_.takeAt(shown);
    index_ = shown;
    QFile::remove(QDir(cfgFolder).filePath(removed));
    return removed;
}

} // namespace dictora
