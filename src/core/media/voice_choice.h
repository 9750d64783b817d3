// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dictora {

// Which of the learner's two voice choices speaks a text.
enum class VoiceLanguage { English, Chinese };

// A text whose wide characters (code 0x100 and above, CJK among them)
// outnumber its narrow ones is Chinese; blanks count for neither side. Any
// other text, an empty one included, is English.
VoiceLanguage voiceLanguageFor(const QString& text);

} // namespace dictora
