// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace dictora {

// What the add-content dialog has chosen so far for one Section. The table
// changes only when the choice is confirmed.
struct SectionChoice {
    int targetRow = kNone; // a Section title row, or kNone for a new Section at the end
    QString textPath;
    bool textChosen = false;
    QString mediaPath;
    bool mediaChosen = false;
    // Picked by the learner, not found beside the other file: a companion
    // found later does not replace it.
    bool textPicked = false;
    bool mediaPicked = false;
    // A title the learner typed into the title field: the Section keeps it,
    // whatever file is chosen afterwards. Empty when none was typed.
    QString typedTitle = {};
};

// Where a Section's media lives when its title row holds "..": the file of
// that name in the open Unit's folder under Media.
struct UnitMediaFolder {
    ProgramFolder folder;
    QString unitName;

    QString path() const { return folder.mediaFolder() + unitName; }
    QString filePath(const QString& mediaName) const { return path() + u'/' + mediaName; }
    // How the media field shows such a file: ".. /Media/" + unit + "/" + name.
    QString shownForm(const QString& mediaName) const
    {
        return QStringLiteral(".. /Media/") + unitName + u'/' + mediaName;
    }
};

// The text shown when a Section's media file cannot be found.
inline const QString kMissingMediaText = QStringLiteral("文件不存在");

// What the dialog's fields show.
struct SectionView {
    QString title;     // the title field; the caption is title + " - 配置"
    QString mediaText; // the media field: a path, the Media-folder form, "文件不存在" or ""
    // Check or clear the copy box; unset leaves it as the learner set it.
    std::optional<bool> copyChecked;
    // A media file was found: the length fields and the copy box are enabled.
    bool mediaFound = false;

    QString caption() const { return title + QStringLiteral(" - 配置"); }
};

// The fields when the dialog opens for a title row: its title, its media
// (the Media-folder form with the copy box checked when the row holds ".."),
// "文件不存在" when the file is gone.
SectionView openingView(const SentenceTable& table, int titleRow, const UnitMediaFolder& media);

// Takes a chosen or dropped file as the text file or the media file. A
// sentence row as target gives way to a new Section. With companionSearch the
// file beside it of the same name start completes the pair (song.lrc for
// song.mp3), except that media chosen for a Section that already has
// sentences and a real title takes no text, and a companion never replaces a
// file the learner picked in this dialog. Returns false for a file that is
// neither text nor media; the choice then stays as it was.
bool applyChosenFile(const SentenceTable& table, SectionChoice& choice, const QString& path,
                     bool companionSearch);

// The Section a dropped or handed file goes to: the current row when it is a
// title row; otherwise a new Section at the end, except that an empty Section
// at the end that has no title and no media of its own (the "标题" a new Unit
// starts with) is filled instead of being left empty above the new one.
int droppedFileTarget(const SentenceTable& table, int currentRow);

// Keeps the title field's text as the learner's own title when it differs
// from the title the dialog last showed and is a real title (not "" or
// "标题"); a title typed before is kept when the field is left as shown.
void noteTypedTitle(SectionChoice& choice, const QString& fieldText, const QString& shownTitle);

// The fields after a file was chosen.
SectionView chosenFileView(const SentenceTable& table, const SectionChoice& choice,
                           const UnitMediaFolder& media);

// The media path the copy box stands for when the learner clicks it: the
// media field's text, except that the Media-folder form means the file in
// that folder (the form itself names no file).
QString mediaPathFromField(const QString& mediaFieldText, const SentenceTable& table, int titleRow,
                           const UnitMediaFolder& media);

// The three length fields, two digits each: hours of the day, minutes and
// seconds of a declared media length; "00" each for 0 or less.
struct LengthFields {
    QString hours;
    QString minutes;
    QString seconds;
};
LengthFields lengthFieldsFor(int64_t mediaLengthMs);
// The declared length from the three fields, each read as a decimal number
// (empty is 0), in milliseconds; a length beyond what a row can hold is cut
// to the largest one.
uint32_t lengthFromFields(const LengthFields& fields);

} // namespace dictora
