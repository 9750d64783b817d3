// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace dictora {

// Names and numbers that stay the same from one export of a Unit to the
// next, so that a flashcard program that already holds an earlier export
// updates its notes (and keeps the learner's progress) instead of adding
// copies.

// A note's guid: 16 hex digits of the SHA-1 of the Unit's name and the
// sentence's place (its Section and its place in that Section). The text is
// left out so that a corrected sentence stays the same note.
QString noteGuid(const QString& unitName, const QString& sentencePlace);

// A clip's media file name, "dictora-UNIT-HASH.ogg": the Unit's name made
// safe for a file name and a sound tag, and 12 hex digits of the SHA-1 of
// the Unit's name and what the clip is made of (parts: the media file's
// identity and the span, or the spoken text; how it is levelled). Clips of
// other Units, spans or files never share a name, even in a flashcard
// program's one media folder.
QString clipMediaName(const QString& unitName, const QStringList& parts);

// A deck or note-type id derived from a name: positive, below 2^53 so that
// every JSON reader holds it exactly, and the same on every export.
qint64 stableId(const QString& name);

// Text for an HTML field: &, < and > escaped, control characters made blanks.
QString htmlFieldText(const QString& text);

// The text of an HTML field as the flashcard program compares and sorts it:
// comments and tags removed, the common entities decoded.
QString strippedFieldText(const QString& html);

// The flashcard program's checksum of a note's first field: the first 8 hex
// digits of the SHA-1 of the field stripped of HTML, read as a number.
qint64 fieldChecksum(const QString& html);

} // namespace dictora
