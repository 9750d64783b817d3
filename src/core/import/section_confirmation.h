// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/import/section_choice.h"
#include "core/import/text_import.h"

#include <QString>

#include <cstdint>

namespace dictora {

class ContentChangeQuestion;

// The copy of a Section's media file into the open Unit's Media folder.
struct MediaCopyOutcome {
    enum class Status {
        NotAsked,     // the copy box was not checked
        Copied,       // the file was copied; the learner is told where
        AlreadyThere, // a file of that name was there already: nothing copied, nothing said
        Failed,       // `error` says why; the Section keeps the full path
    };
    Status status = Status::NotAsked;
    QString destination;
    QString error;

    // The Section's media now lies in the Media folder, so it is stored as "..".
    bool inMediaFolder() const
    {
        return status == Status::Copied || status == Status::AlreadyThere;
    }
};

// Copies mediaPath into the Unit's folder under Media (made when missing),
// never over an existing file of the same name.
MediaCopyOutcome copyIntoMediaFolder(const UnitMediaFolder& media, const QString& mediaPath);

// What "确定" of the add-content dialog hands over.
struct SectionConfirmation {
    SectionChoice choice;
    QString titleText; // the title field as the learner left it
    uint32_t mediaLengthMs = 0;
    bool copyChecked = false;
    bool tidy = false; // "整理歌词与字幕标签"
    // The text file's rows already read and timed ("自动对齐时间"), or null.
    const std::vector<SentenceRow>* preparedRows = nullptr;
};

struct SectionConfirmationOutcome {
    // Status NoTextFile when no text file was chosen; Refused carries the
    // message for the learner.
    TextImportOutcome import;
    MediaCopyOutcome copy;
    // The Section's title row afterwards, or kNone.
    int titleRow = kNone;
};

// True when confirming the choice asks the content-change question: a text
// file goes to a Section that already has sentences.
bool asksContentChange(const SentenceTable& table, const SectionChoice& choice);

// Confirms the add-content dialog: imports the chosen text file, attaches the
// chosen media to the Section (a new one at the end when there is no target)
// and copies it into the Media folder when asked; without a chosen file the
// title row takes the title field and the declared length. The Section's
// title and media fields then go to all its sentences, and unitModified is
// set. After an import that appended to a Section, the media and fields
// still belong to the Section's title row, so old and new sentences share
// one media file. A cancelled content-change question ends the confirmation
// with nothing changed: no title, no media, no sentences. A title the learner
// typed (SectionChoice::typedTitle) names the Section whatever was chosen.
SectionConfirmationOutcome confirmSection(SentenceTable& table, StudyState& state,
                                          const SectionConfirmation& confirmation,
                                          const UnitMediaFolder& media,
                                          ContentChangeQuestion& question);

} // namespace dictora
