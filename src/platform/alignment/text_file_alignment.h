// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/alignment/alignment_text.h"
#include "platform/alignment/media_alignment.h"

#include <functional>

namespace dictora {

struct TextFileAlignment {
    enum class Status { Aligned, Refused, Unreadable, Cancelled };
    Status status = Status::Refused;
    QString message;      // the learner's, for Refused
    AlignmentText text;   // the rows, timed when Aligned
    MediaAlignment media; // where each spoken sentence was found
};

// Whether the file's own times are re-timed: Auto when it has any.
enum class RetimeChoice { Auto, Never, Always };

// Reads a text file as the import would (request.textPath, tidy reading,
// media fields) and times its rows by aligning them with request.mediaPath:
// a transcript's sentences, or a subtitle's rows re-timed. Nothing of the
// Unit is touched; the rows go to the import as prepared rows.
TextFileAlignment alignTextFile(const TextImportRequest& request, const QString& voice,
                                RetimeChoice retime,
                                const std::function<bool(double done)>& progress = {});

} // namespace dictora
