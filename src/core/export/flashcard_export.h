// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

namespace dictora {

// Where one card's sound comes from: a span of a media file, or, for a
// sentence without usable media, the sentence spoken.
struct ClipSource {
    QString mediaPath; // empty: speak text
    int startMs = 0;   // in the media's real time
    int endMs = 0;
    QString text;

    bool isSpoken() const { return mediaPath.isEmpty(); }
    int lengthMs() const { return endMs - startMs; }
};

struct FlashcardItem {
    int row = -1;
    QString text;
    QString text2;
    QString section;      // the Section's title (in the Notebook: the Unit it came from)
    QString guid;         // the note's identity: see noteGuid
    QString clipFileName; // dictora-UNIT-HASH.ogg: see clipMediaName
    QStringList tags;     // Unit and Section, blanks made "_"
    ClipSource clip;
    int spanMs = 0; // the sentence's whole span in the media's time; 0 without one

    // The clip as planned is shorter than the sentence: its media ends first.
    bool isCutShort() const { return !clip.isSpoken() && clip.lengthMs() < spanMs; }
};

enum class FlashcardFormat {
    Tsv,     // NAME.tsv for a text import and one clip file a sentence beside it
    Package, // NAME.apkg: notes, note type, deck and clips in one file
};

// Where an export goes, read from the path given: one ending in ".apkg" is a
// package and one ending in ".tsv" a TSV (the clips beside it), both named
// as given; anything else is a folder that gets NAME.tsv and the clips.
struct ExportTarget {
    FlashcardFormat format = FlashcardFormat::Tsv;
    QString folder;
    QString name;
};
ExportTarget exportTargetFor(const QString& out, const QString& name);

// Sentences of a Unit taken out to a flashcard program.
struct FlashcardExport {
    FlashcardFormat format = FlashcardFormat::Tsv;
    QString outDir;   // absolute, with no trailing "/"
    QString name;     // the safe form of the name asked for
    QString unitName; // the Unit the sentences are read from (or the Notebook)
    QString clipDir;  // where clips are written: outDir unless a package gathers them
    QList<FlashcardItem> items;

    QString tsvPath() const;
    QString packagePath() const;
    QString clipPath(const FlashcardItem& item) const;
    // The TSV: "#separator:tab", "#html:false", "#tags column:4", then one
    // line per sentence: sentence, second line, [sound:CLIP], tags.
    QByteArray tsv() const;
    // Every file the export makes in outDir: the package, or the TSV first
    // and then each clip once.
    QStringList targetPaths() const;
    // The first item of each clip name: identical clips are made once.
    QList<FlashcardItem> distinctClips() const;
};

// Sentences whose cards do not sound as the Unit plays them, by row: a clip
// shorter than its sentence (the media ends first, as a damaged or truncated
// file does) and sentences spoken by the voice instead of cut.
struct ExportShortfall {
    QList<int> shortRows;
    QList<int> spokenRows;
};

// A name that is a safe file name on every file system: no path separators,
// no characters Windows forbids, no control characters, no leading or
// trailing dots and blanks, no device name (CON, NUL, COM1 ...), at most 100
// characters; "export" when nothing is left.
QString safeFileName(const QString& name);

// The real length of a media file in milliseconds (0 or below when it
// cannot be read); asked once per file.
using MediaLengthProbe = std::function<int(const QString& path)>;

// The cards of every sentence row with text of a Unit held in table (fields
// 8 to 11 filled in, as after loading). Spans are scaled from the Section's
// declared length to the file's real one, as playback does; a sentence
// without an end plays to the end of its media; media that is missing, or a
// span shorter than playback would play, gives a spoken clip.
// soundVariant names how the clips are made beyond their source (levelled
// or not): it is part of their names, so that a differently made clip never
// takes an earlier one's name.
FlashcardExport planFlashcards(const QString& name, const QString& outDir,
                               const SentenceTable& table, const QString& unitName, bool isNotebook,
                               const ProgramFolder& folder, const MediaLengthProbe& mediaLength,
                               const QString& soundVariant = {});

// Why the export may not write (one line), or empty: OUTDIR must be a
// folder, and without force no file it would write may exist yet.
QString exportRefusal(const FlashcardExport& plan, bool force);

} // namespace dictora
