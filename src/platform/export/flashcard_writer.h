// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/export/flashcard_export.h"
#include "core/export/package_collection.h"
#include "core/media/loudness_levelling.h"
#include "platform/media/clip_cutter.h"

#include <QHash>

#include <functional>
#include <optional>

namespace dictora {

// Told after each clip with (written, total); false cancels.
using ExportProgress = std::function<bool(int written, int total)>;

// Writes a planned export: every clip (media spans cut in one pass per media
// file, the other sentences spoken by espeak-ng with the voice their text
// asks for), then the TSV last, so a TSV always names clips that exist; or,
// for a package, the clips and the collection gathered in a hidden folder
// beside it and packed into NAME.apkg, which appears whole or not at all.
// Every file is made under a new unpredictable name and renamed into place,
// so a link planted in the folder is replaced, never written through. The
// caller has checked exportRefusal. Needs GStreamer initialised.
class FlashcardWriter {
public:
    // Clips of each media file are levelled by the gain its loudness asks
    // for (the player's rule: the target loudness, never above the true-peak
    // ceiling); without it the samples stay as decoded.
    using LoudnessOf = std::function<std::optional<Loudness>(const QString& mediaPath)>;
    void setLoudnessOf(LoudnessOf loudnessOf) { loudnessOf_ = std::move(loudnessOf); }
    // For a package: which cards each note gets, and the export's time.
    void setPackageCards(const PackageCards& cards, qint64 nowMs)
    {
        cards_ = cards;
        nowMs_ = nowMs;
    }
    // False with error on the first failure, or "cancelled". shortfall,
    // when given, receives the sentences whose clips are short or spoken.
    bool write(const FlashcardExport& plan, const ExportProgress& progress, QString* error,
               ExportShortfall* shortfall = nullptr);

private:
    bool writeClips(const FlashcardExport& plan, const ExportProgress& progress, QString* error);
    bool writePackage(const FlashcardExport& plan, const ExportProgress& progress, QString* error);
    bool speak(const FlashcardItem& item, const QString& outPath, QString* error);

    ClipCutter cutter_;
    LoudnessOf loudnessOf_;
    PackageCards cards_;
    qint64 nowMs_ = 0;
    QHash<QString, qint64> cutMs_; // each cut clip's length as cut, by clip name
};

} // namespace dictora
