// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/export/flashcard_export.h"

#include <QByteArray>
#include <QString>

namespace dictora {

// Which of the note type's card templates an export makes cards of.
struct PackageCards {
    bool dictation = true; // 听写
    bool recall = false;   // 回忆
};

// "Dictora::UNIT": the deck a Unit's notes go to.
QString packageDeckName(const QString& unitName);

// The package's "media" file: JSON mapping "0", "1", ... to the clip names of
// plan.distinctClips() in that order; the zip holds clip k under the name "k".
QByteArray packageMediaMap(const FlashcardExport& plan);

// Writes the collection of a flashcard package into path (a new file) in the
// schema version 11 layout (tables col, notes, cards, revlog and graves with
// their indexes): Dictora's note type, the deck "Dictora::UNIT" and one note
// a sentence with a new card for each template chosen. Notes carry the
// stable guid of their sentence and nowMs (the export's time) as their last
// change, so a newer export updates the notes an earlier one made. False
// with error on the first failing step.
bool writePackageCollection(const QString& path, const FlashcardExport& plan,
                            const PackageCards& cards, qint64 nowMs, QString* error);

} // namespace dictora
