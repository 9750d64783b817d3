// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/import/code_page_detection.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"

#include <QString>

#include <cstdint>

namespace dictora {

class ContentChangeQuestion;

// What the add-content dialog hands over on confirmation.
struct TextImportRequest {
    QString textPath;           // empty: nothing is imported
    QString mediaPath;          // may be empty
    uint32_t mediaLengthMs = 0; // as declared by the learner, 0 when not entered
    int targetRow = kNone;      // a Section title row, or kNone for a new Section at the end
    // Tidy reading (the check box "整理歌词与字幕标签", `--tidy`): markup and
    // lyric tags stripped, one sentence per time tag, [offset:] applied, the
    // languages told apart by Unicode script. Off, the lines read literally.
    bool tidy = false;
    // The dialog's title field. Left empty or at the file's base name, a
    // lyric file's [ti:] names the Section under tidy reading.
    QString titleField;
    // Rows already read from textPath (and timed, e.g. by aligning the text
    // with its recording): imported instead of reading the file again.
    const std::vector<SentenceRow>* preparedRows = nullptr;
    CodePageChoice preparedCodePage;
};

struct TextImportOutcome {
    enum class Status {
        Imported,      // the Section is prepared and the lines are in
        NoTextFile,    // empty text path: nothing touched
        InvalidTarget, // targetRow names no title row: nothing touched
        Cancelled,     // the content-change question was cancelled: nothing touched
        Refused,       // a media file, UTF-16 big-endian, above kTextFileSizeLimit or
                       // sentenceLimit, or the Unit would pass kUnitFileSizeLimit (the
                       // Unit is left as it was): `message` is for the learner's message box
        Unreadable,    // the file cannot be opened (or is gone): nothing
                       // touched; `message` is for the learner
    };
    Status status = Status::NoTextFile;
    // The title row that was filled; after the append answer the Section's
    // last old sentence row. The dialog attaches the media from here.
    int targetRow = kNone;
    int rowsAdded = 0;
    QString message;
    // How "ANSI" lines that are not UTF-8 were read (files with a mark need
    // no code page: NotNeeded).
    CodePageChoice codePage;
};

// The sentence row (or with kind "0" the title row) that an import inserts:
// a new, never-studied row carrying the file's base name and the media fields.
SentenceRow makeImportedRow(const QString& baseName, const QString& mediaPath,
                            uint32_t mediaLengthMs);

// The learner's message for a text file saved as UTF-16 big-endian.
QString bigEndianRefusal(const QString& baseName);

// Text files above this size are refused before they are read: far beyond
// any real lesson, and its rows would take many times its size in memory.
inline constexpr qint64 kTextFileSizeLimit = 64 * 1024 * 1024;

// The learner's message for a text file above kTextFileSizeLimit.
QString tooLargeRefusal(const QString& baseName);

// The most sentences one import may add from a file of `fileSize` bytes:
// 100,000, or one for every 90 bytes of a larger file. A sentence takes
// about 800 bytes while it is moved into the table, so this keeps a large
// import under ten times its file's size; a file of tiny lines, or of lyric
// lines with hundreds of time tags each, is refused rather than take tens of
// times its size. Real lessons stay far below the limit.
size_t sentenceLimit(qint64 fileSize);

// The learner's message for a file that gives more than sentenceLimit.
QString tooManySentencesRefusal(const QString& baseName, size_t limit);

// The learner's message for a file whose rows would make the Unit's file
// larger than the reader takes (kUnitFileSizeLimit).
QString unitTooLargeRefusal(const QString& baseName);

// The learner's message for a text file that is gone or cannot be opened.
QString unreadableTextMessage(const QString& textPath);

// What an import of the file would meet before reading a line: Refused (a
// media file by name or first bytes, too large, or UTF-16 big-endian) with the
// learner's message, Unreadable, or Imported when the file may be imported.
// Nothing is read beyond the mark, so a caller can check a file before it
// changes anything of its own.
TextImportOutcome CheckTextFile(const QString& textPath);

// Reads the file's rows as an import would, each a copy of the imported-row
// template with its times and texts, and the Section title the import would
// give (the base name, or a lyric's [ti:] under tidy reading). Status
// Imported when rows were read; otherwise nothing was read and the outcome
// says why, as ImportTextFile would.
TextImportOutcome ReadTextRows(const TextImportRequest& request, std::vector<SentenceRow>& rows,
                               QString& sectionTitle);

// Imports one lyric, subtitle or plain-text file into a Section of the open
// Unit: a new Section at the end of the table, or the title row given, whose
// title becomes the file's base name. When that Section already has sentences
// `question` decides between replacing and appending them. The rows go in
// after the Section's last row, and `unitModified` is set whenever the table
// changed. The file is read completely before anything is removed, so a file
// that is refused or cannot be read never costs the Section its sentences.
TextImportOutcome ImportTextFile(SentenceTable& table, StudyState& state,
                                 const TextImportRequest& request, ContentChangeQuestion& question);

} // namespace dictora
