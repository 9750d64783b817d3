// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/section_choice.h"

#include "core/import/content_files.h"
#include "core/import/section_media.h"

#include <QFileInfo>

#include <limits>

namespace dictora {

namespace {

bool isTitleRow(const SentenceTable& table, int row)
{
    return table.isValidRow(row) && table.isTitleRow(row);
}

bool hasSentences(const SentenceTable& table, int titleRow)
{
    return table.isValidRow(titleRow + 1) && !table.isTitleRow(titleRow + 1);
}

bool isExistingFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// The media text of a title row and the path behind it: the Media-folder form
// for "..", else the stored path itself.
struct StoredMedia {
    QString shown;
    QString path;
    bool inMediaFolder = false;
};

StoredMedia storedMedia(const SentenceTable& table, int titleRow, const UnitMediaFolder& media)
{
    const QString& stored = table.field(titleRow, MediaPath);
    if (stored == QLatin1String("..")) {
        const QString& name = table.field(titleRow, MediaName);
        return {media.shownForm(name), media.filePath(name), true};
    }
    return {stored, stored, false};
}

uint64_t leadingNumber(const QString& text)
{
    constexpr uint64_t cap = std::numeric_limits<uint32_t>::max();
    uint64_t value = 0;
    for (const QChar c : text.trimmed()) {
        if (c < u'0' || c > u'9')
            break;
        value = std::min(cap, value * 10 + uint64_t(c.unicode() - u'0'));
    }
    return value;
}

} // namespace

SectionView openingView(const SentenceTable& table, int titleRow, const UnitMediaFolder& media)
{
    SectionView view;
    if (!table.isValidRow(titleRow))
        return view;
    view.title = table.field(titleRow, SectionTitle);
    const StoredMedia stored = storedMedia(table, titleRow, media);
    view.mediaText = stored.shown;
    view.copyChecked = stored.inMediaFolder;
    view.mediaFound = isExistingFile(stored.path);
    if (!view.mediaFound) {
        // A Section without media has nothing missing: the field stays empty
        // until a file is chosen, so no error greets the learner.
        view.mediaText = stored.path.isEmpty() ? QString() : kMissingMediaText;
        view.copyChecked = false;
    }
    return view;
}

bool applyChosenFile(const SentenceTable& table, SectionChoice& choice, const QString& path,
                     bool companionSearch)
{
    // Content always goes to a title row or to a new Section.
    if (!isTitleRow(table, choice.targetRow))
        choice.targetRow = kNone;
    if (IsTextFile(path)) {
        choice.textPath = path;
        choice.textChosen = true;
        choice.textPicked = true;
        if (companionSearch && !choice.mediaPicked) {
            const QString companion = FindCompanionFile(path);
            if (IsMediaFile(companion)) {
                choice.mediaPath = companion;
                choice.mediaChosen = true;
            }
        }
        return true;
    }
    if (IsMediaFile(path)) {
        choice.mediaPath = path;
        choice.mediaChosen = true;
        choice.mediaPicked = true;
        // A Section with sentences and a title of its own only takes the media.
        const int target = choice.targetRow;
        const bool keepsItsText = target >= 0 && hasSentences(table, target) &&
                                  !isPlaceholderTitle(table.field(target, SectionTitle));
        if (companionSearch && !keepsItsText && !choice.textPicked) {
            const QString companion = FindCompanionFile(path);
            if (IsTextFile(companion)) {
                choice.textPath = companion;
                choice.textChosen = true;
            }
        }
        return true;
    }
    return false;
}

int droppedFileTarget(const SentenceTable& table, int currentRow)
{
    if (isTitleRow(table, currentRow))
        return currentRow;
    const int last = table.rowCount() - 1;
    if (isTitleRow(table, last) && isPlaceholderTitle(table.field(last, SectionTitle)) &&
        table.field(last, MediaPath).isEmpty())
        return last;
    return kNone;
}

void noteTypedTitle(SectionChoice& choice, const QString& fieldText, const QString& shownTitle)
{
    const QString typed = fieldText.trimmed();
    if (typed != shownTitle.trimmed() && !isPlaceholderTitle(typed))
        choice.typedTitle = typed;
}

SectionView chosenFileView(const SentenceTable& table, const SectionChoice& choice,
                           const UnitMediaFolder& media)
{
    const bool hasTarget = isTitleRow(table, choice.targetRow);
    SectionView view;
    if (!choice.typedTitle.isEmpty()) {
        view.title = choice.typedTitle;
    } else if (!choice.textPath.isEmpty()) {
        view.title = QFileInfo(choice.textPath).completeBaseName();
    } else {
        if (hasTarget)
            view.title = table.field(choice.targetRow, SectionTitle);
        if (isPlaceholderTitle(view.title) && !choice.mediaPath.isEmpty())
            view.title = mediaBaseName(choice.mediaPath);
    }

    QString tested;
    if (!choice.mediaPath.isEmpty()) {
        view.mediaText = tested = choice.mediaPath;
    } else if (hasTarget) {
        const StoredMedia stored = storedMedia(table, choice.targetRow, media);
        view.mediaText = stored.shown;
        tested = stored.path;
        if (stored.inMediaFolder)
            view.copyChecked = true;
    }
    if (view.mediaText.isEmpty())
        return view;
    view.mediaFound = isExistingFile(tested);
    if (!view.mediaFound) {
        view.mediaText = kMissingMediaText;
        if (view.copyChecked)
            view.copyChecked = false;
    }
    return view;
}

QString mediaPathFromField(const QString& mediaFieldText, const SentenceTable& table, int titleRow,
                           const UnitMediaFolder& media)
{
    if (mediaFieldText == kMissingMediaText)
        return {};
    if (isTitleRow(table, titleRow) && table.field(titleRow, MediaPath) == QLatin1String("..")) {
        const QString& name = table.field(titleRow, MediaName);
        if (mediaFieldText == media.shownForm(name))
            return media.filePath(name);
    }
    return mediaFieldText;
}

LengthFields lengthFieldsFor(int64_t mediaLengthMs)
{
    if (mediaLengthMs <= 0)
        return {QStringLiteral("00"), QStringLiteral("00"), QStringLiteral("00")};
    const int64_t seconds = mediaLengthMs / 1000;
    const auto twoDigits = [](int64_t value) {
        return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    };
    return {twoDigits(seconds / 3600 % 24), twoDigits(seconds / 60 % 60), twoDigits(seconds % 60)};
}

uint32_t lengthFromFields(const LengthFields& fields)
{
    const uint64_t seconds = leadingNumber(fields.hours) * 3600 +
                             leadingNumber(fields.minutes) * 60 + leadingNumber(fields.seconds);
    return uint32_t(std::min<uint64_t>(seconds * 1000, std::numeric_limits<uint32_t>::max()));
}

} // namespace dictora
