// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/speech/speech_voice.h"

#include <algorithm>
#include <cmath>

namespace dictora {

int espeakRateFor(int rate)
{
    const int clamped = std::clamp(rate, -10, 10);
    const double wordsPerMinute = 175.0 * std::pow(3.0, clamped / 10.0);
    return std::clamp(int(std::lround(wordsPerMinute)), 80, 450);
}

int espeakVolumeFor(int volume)
{
    return std::clamp(volume, 0, 100);
}

int findVoice(const QList<SpeechVoice>& voices, const QString& key)
{
    for (int i = 0; i < voices.size(); ++i) {
        const SpeechVoice& voice = voices[i];
        if (voice.identifier.compare(key, Qt::CaseInsensitive) == 0 ||
            voice.name.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    for (int i = 0; i < voices.size(); ++i) {
        if (voices[i].language.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace dictora
