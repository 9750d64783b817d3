// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/speech_output.h"

#include <QList>
#include <QString>

namespace dictora {

// The voices each choice starts with: espeak-ng's American English and
// Mandarin.
inline constexpr const char* kDefaultEnglishVoice = "gmw/en-US";
inline constexpr const char* kDefaultChineseVoice = "sit/cmn";

// The learner's settings mapped onto espeak-ng. Rate -10..10 is a factor of
// three either way around the normal 175 words a minute, within the engine's
// 80..450; volume 0..100 is the engine's 0..100 (100 = its normal loudness).
int espeakRateFor(int rate);
int espeakVolumeFor(int volume);

// The voice of voices whose identifier, name or language equals key (case
// does not matter); -1 when none does.
int findVoice(const QList<SpeechVoice>& voices, const QString& key);

} // namespace dictora
