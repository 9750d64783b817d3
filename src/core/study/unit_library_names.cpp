// Creating, renaming and deleting Units: the file side of the settings
// dialog's buttons.
#include "core/study/unit_library.h"

#include "core/media/media_commands.h"
#include "core/study/unit_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dictora {

UnitResult UnitLibrary::createUnit(const QString& name, const UnitHeader& header)
{
    if (!isAcceptableUnitName(name))
        return UnitResult::failure(unitNameMessage());
    const QString path = unitPath(name);
    // A file of that name that is not listed (no format mark) is still the
    // learner's file and is not replaced either.
    if (names_.contains(name) || QFileInfo::exists(path))
        return UnitResult::failure(unitExistsMessage(name));
    std::vector<SentenceRow> rows{makeTitleRow(QStringLiteral("标题"))};
    rows.front()[StudiedAt] = kDefaultStampText;
    const WriteOutcome written = writeFileAtomically(path, encodeUnit(header, rows, false));
    if (!written.ok) {
        fail(written.error);
        return UnitResult::failure(written.error);
    }
    names_ << name;
    percentTexts_ << QString();
    emit listChanged();
    OpenUnit(int(names_.size()) - 1);
    UpdateTotal();
    state_.unitModified = true;
    return {};
}

UnitResult UnitLibrary::renameOpenUnit(const QString& newName)
{
    if (openPosition_ < 0 || state_.unitFilePath.isEmpty())
        return UnitResult::failure(QStringLiteral("no Unit is open"));
    if (newName == unitName_)
        return {};
    if (state_.isNotebook)
        return UnitResult::failure(QStringLiteral("the Sentence Notebook keeps its name"));
    if (!isAcceptableUnitName(newName))
        return UnitResult::failure(unitNameMessage());
    const QString newPath = unitPath(newName);
    if (names_.contains(newName) || QFileInfo::exists(newPath))
        return UnitResult::failure(unitExistsMessage(newName));

    // The new file first; only when it is complete does the old one go.
    const QString oldName = unitName_;
    const QString oldPath = state_.unitFilePath;
    state_.unitFilePath = newPath;
    if (!SaveUnit()) {
        state_.unitFilePath = oldPath;
        return UnitResult::failure(lastError_);
    }
    if (!QFile::remove(oldPath))
        lastError_ = QStringLiteral("cannot remove %1").arg(oldPath);

    const QString oldMedia = folder_.mediaFolder() + oldName;
    if (QFileInfo(oldMedia).isDir()) {
        if (media_)
            media_->send(QStringLiteral("Close MYSHOW "));
        // A media folder that cannot be renamed keeps its old name.
        QDir().rename(oldMedia, folder_.mediaFolder() + newName);
    }
    unitName_ = newName;
    names_[openPosition_] = newName;
    emit listChanged();
    OpenUnit(openPosition_);
    return {};
}

UnitResult UnitLibrary::deleteOpenUnit()
{
    if (openPosition_ <= 0 || state_.isNotebook || state_.unitFilePath.isEmpty())
        return UnitResult::failure(QStringLiteral("the Sentence Notebook cannot be deleted"));
    const QString path = state_.unitFilePath;
    if (QFileInfo::exists(path) && !QFile::remove(path))
        return UnitResult::failure(QStringLiteral("cannot delete %1").arg(path));
    const int position = openPosition_;
    completion_.removePosition(position);
    names_.removeAt(position);
    percentTexts_.removeAt(position);
    // Emptied first, so that opening the Notebook does not write the deleted
    // file again.
    state_.unitFilePath.clear();
    openPosition_ = -1;
    emit listChanged();
    OpenUnit(0);
    UpdateTotal();
    return {};
}

} // namespace dictora
