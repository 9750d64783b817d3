// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/daily_review.h"
#include "core/study/file_replacement.h"
#include "core/study/sentence_table.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QIODevice;

namespace dictora {

// The three study settings stored at the head of every Unit file.
struct UnitHeader {
    int32_t reviewFrequency = 2; // 1, 2 or 3
    float newPerDay = 1.0f;
    int32_t newPerDayUnit = 1; // 0 sentences, 1 Sections

    bool operator==(const UnitHeader&) const = default;
};

// What a new Unit starts with (the settings dialog's add mode), and what a
// Unit whose file cannot be read falls back to.
inline constexpr UnitHeader kNewUnitHeader{2, 1.0f, 1};
// What a new, empty Sentence Notebook starts with.
inline constexpr UnitHeader kNotebookHeader{3, 3.0f, 0};

// The first 8 bytes of every Unit file: the IEEE double 3.1419.
inline constexpr int kFormatMarkSize = 8;
QByteArray formatMarkBytes();

// Ends the records where the next kind would stand.
inline constexpr int32_t kTerminator = -1000;

// Whether a record carries the four Section fields (title, media path, media
// name, media length): title rows do, and every row of the Sentence Notebook.
inline bool hasSectionFields(int32_t kind, bool isNotebook)
{
    return kind == 0 || isNotebook;
}

// True when the file at path begins with the format mark (a Unit file for
// listing). Files that cannot be opened are not Unit files.
bool hasFormatMark(const QString& path);

// Called for every sentence row (kind above 0) as it is read, before it is
// turned into text, with the header already read: the place where the daily
// review runs.
using RowReview = std::function<void(ReviewFields&, const UnitHeader&)>;
// The review a Unit gets whenever it is loaded: DailyReview under the Unit's
// review frequency, as of now.
RowReview dailyReviewAsOf(TimeValue now);

// Unit files above this size are refused before they are read (and never
// rewritten): far beyond any real lesson, and reading one would take many
// times its size in memory.
inline constexpr qint64 kUnitFileSizeLimit = 64 * 1024 * 1024;

struct UnitReadResult {
    bool opened = false;      // the file could be opened for reading
    QString openError;        // why not, when it could not
    bool tooLarge = false;    // above kUnitFileSizeLimit: not read at all
    bool headerRead = false;  // all 20 header bytes were there
    bool markMatches = false; // the first 8 bytes are the format mark
    bool terminated = false;  // the terminator was reached
    UnitHeader header;        // valid when headerRead
    std::vector<SentenceRow> rows;
    // Byte offset just past the last complete record (or past the header):
    // where the terminator stands in a well-formed file.
    qint64 recordsEnd = 0;
    // Bytes of the data in all, read or not.
    qint64 dataSize = 0;

    // Read to its terminator with nothing after it, under the format mark:
    // writing the rows back loses nothing. An empty file has nothing to lose
    // either.
    bool readWhole() const
    {
        return dataSize == 0 ||
               (markMatches && terminated && recordsEnd + 4 == dataSize && !tooLarge);
    }
};

// Reads a Unit: header, then one row per complete record until the terminator
// or the end of the data. A record that ends early is dropped; no length
// field is trusted beyond the bytes actually present, so memory stays within
// the size of the data. Title rows, and every row of the Sentence Notebook,
// carry twelve fields; other rows eight (fields 8 to 11 stay empty).
UnitReadResult readUnit(QIODevice& in, bool isNotebook, const RowReview& review = {});
// The same from a file; one above kUnitFileSizeLimit is not read (tooLarge).
UnitReadResult readUnitFile(const QString& path, bool isNotebook, const RowReview& review = {});
// The message for a Unit file above the limit.
QString unitTooLargeMessage(const QString& path);
// The settings a loaded Unit works with: those read, else those of a new Unit
// (or of a new Notebook) rather than whichever Unit was open before.
UnitHeader loadedHeader(const UnitReadResult& read, bool isNotebook);

// How many bytes encodeUnit gives for these rows (header and terminator
// included), and one record of them: known before anything is written, so
// that a Unit the reader would refuse (above kUnitFileSizeLimit) is never
// made.
qint64 encodedUnitSize(const std::vector<SentenceRow>& rows, bool isNotebook);
qint64 encodedRecordSize(const SentenceRow& row, bool isNotebook);
// The message for a Unit that would be written above the limit.
QString unitWouldBeTooLargeMessage(const QString& path);

// The bytes of a Unit: format mark, header, one record per row, terminator.
// Strings are always written in the 16-bit form. A row carries twelve fields
// when its kind is written as 0 or the Unit is the Sentence Notebook.
QByteArray encodeUnit(const UnitHeader& header, const std::vector<SentenceRow>& rows,
                      bool isNotebook);
void appendRecord(QByteArray& out, const SentenceRow& row, bool isNotebook);
void appendString(QByteArray& out, const QString& text);
void appendInt32(QByteArray& out, int32_t value);

} // namespace dictora
