// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/export/flashcard_export.h"
#include "platform/media/clip_cutter.h"

#include <functional>

namespace dictora {

// Told after each card's clip with (written, total); false cancels.
using ExportProgress = std::function<bool(int written, int total)>;

// Writes a planned export: every clip (media spans cut in one pass per media
// file, the other sentences spoken by espeak-ng with the voice their text
// asks for), then the TSV last, so a TSV always names clips that exist. The
// caller has checked exportRefusal. Needs GStreamer initialised.
class FlashcardWriter {
public:
    void setLevelling(ClipLevelling levelling) { cutter_.setLevelling(std::move(levelling)); }
    // False with error on the first failure, or "cancelled".
    bool write(const FlashcardExport& plan, const ExportProgress& progress, QString* error);

private:
    bool speak(const FlashcardItem& item, const QString& outPath, QString* error);

    ClipCutter cutter_;
};

} // namespace dictora
