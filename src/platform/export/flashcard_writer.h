// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/export/flashcard_export.h"
#include "core/media/loudness_levelling.h"
#include "platform/media/clip_cutter.h"

#include <functional>
#include <optional>

namespace dictora {

// Told after each card's clip with (written, total); false cancels.
using ExportProgress = std::function<bool(int written, int total)>;

// Writes a planned export: every clip (media spans cut in one pass per media
// file, the other sentences spoken by espeak-ng with the voice their text
// asks for), then the TSV last, so a TSV always names clips that exist. The
// caller has checked exportRefusal. Needs GStreamer initialised.
class FlashcardWriter {
public:
    // Clips of each media file are levelled by the gain its loudness asks
    // for (the player's rule: the target loudness, never above the true-peak
    // ceiling); without it the samples stay as decoded.
    using LoudnessOf = std::function<std::optional<Loudness>(const QString& mediaPath)>;
    void setLoudnessOf(LoudnessOf loudnessOf) { loudnessOf_ = std::move(loudnessOf); }
    // False with error on the first failure, or "cancelled".
    bool write(const FlashcardExport& plan, const ExportProgress& progress, QString* error);

private:
    bool speak(const FlashcardItem& item, const QString& outPath, QString* error);

    ClipCutter cutter_;
    LoudnessOf loudnessOf_;
};

} // namespace dictora
