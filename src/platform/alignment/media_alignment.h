// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/alignment/sentence_alignment.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace dictora {

struct MediaAlignmentRequest {
    QString mediaPath;
    QStringList sentences;
    // Re-timing: the time each sentence's subtitle states; null for a transcript.
    const std::vector<StatedSpan>* stated = nullptr;
    // An espeak-ng voice; empty: by the text's script (defaultVoiceFor).
    QString voice;
};

struct MediaAlignment {
    enum class Status { Aligned, Refused, Cancelled };
    Status status = Status::Refused;
    QString message; // the learner's, for Refused
    std::vector<AlignedSentence> sentences;
    int64_t mediaMs = 0;
    double seconds = 0; // the time the alignment took
};

// Finds where each sentence is spoken in the media file: the sentences are
// spoken by espeak-ng, the recording is decoded, both become features and
// are aligned (sentence_alignment.h). Blocks the calling thread for a few
// seconds per hour of media; `progress` gets 0..1 several times a second and
// stops the work by returning false (status Cancelled).
MediaAlignment alignMedia(const MediaAlignmentRequest& request,
                          const std::function<bool(double done)>& progress = {});

} // namespace dictora
