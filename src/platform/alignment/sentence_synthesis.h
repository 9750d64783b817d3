// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/alignment/sentence_alignment.h"
#include "platform/speech/speech_voice.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace dictora {

// The voice a learner names (identifier, name, language, or the identifier's
// last part such as "en-US"); "en" also finds the first "en-…" voice. -1
// when none matches.
int findAlignmentVoice(const QList<SpeechVoice>& voices, const QString& key);

struct SyntheticSpeech {
    enum class Status { Spoken, EngineUnavailable, UnknownVoice, Cancelled };
    Status status = Status::EngineUnavailable;
    QString reason;
    FeatureTrack track;
    std::vector<SentenceFrames> sentences;
    QString voiceLanguage; // of the voice used, e.g. "en-us"
};

// Speaks each sentence with espeak-ng (at its normal rate) into features:
// each sentence's own silence trimmed, 150 ms of pause between sentences
// and 200 ms before the first and after the last. The engine is shared with
// the speech output; while that holds it, this waits up to `engineWaitMs`.
// `progress` gets 0..1 and stops the work by returning false.
SyntheticSpeech synthesizeSentences(const QString& voiceKey, const QStringList& sentences,
                                    const std::function<bool(double done)>& progress,
                                    int engineWaitMs = 8000);

// The installed espeak-ng voices (empty when the engine cannot start, or
// progress said stop while waiting for it).
QList<SpeechVoice> alignmentVoices(const std::function<bool(double done)>& progress = {});

} // namespace dictora
