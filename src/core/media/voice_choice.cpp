// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/voice_choice.h"

namespace dictora {

VoiceLanguage voiceLanguageFor(const QString& text)
{
    int wide = 0;
    int narrow = 0;
    for (const QChar c : text) {
        if (c.isSpace() || c.isLowSurrogate())
            continue;
        // A surrogate pair is one character beyond the 16-bit range: wide.
        if (c.unicode() >= 0x100)
            ++wide;
        else
            ++narrow;
    }
    return wide > narrow ? VoiceLanguage::Chinese : VoiceLanguage::English;
}

} // namespace dictora
