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
    QString clipFileName; // NAME-0001.ogg
    QStringList tags;     // Unit and Section, blanks made "_"
    ClipSource clip;
};

// Sentences of a Unit taken out to a flashcard program's text import:
// OUTDIR/NAME.tsv and one Ogg Vorbis clip per sentence beside it.
struct FlashcardExport {
    QString outDir; // absolute, with no trailing "/"
    QString name;   // the safe form of the name asked for
    QList<FlashcardItem> items;

    QString tsvPath() const;
    QString clipPath(const FlashcardItem& item) const;
    // The TSV: "#separator:tab", "#html:false", "#tags column:4", then one
    // line per sentence: sentence, second line, [sound:NAME-0001.ogg], tags.
    QByteArray tsv() const;
    // Every file the export writes, the TSV first.
    QStringList targetPaths() const;
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
FlashcardExport planFlashcards(const QString& name, const QString& outDir,
                               const SentenceTable& table, const QString& unitName,
                               bool isNotebook, const ProgramFolder& folder,
                               const MediaLengthProbe& mediaLength);

// Why the export may not write (one line), or empty: OUTDIR must be a
// folder, and without force no file it would write may exist yet.
QString exportRefusal(const FlashcardExport& plan, bool force);

} // namespace dictora
