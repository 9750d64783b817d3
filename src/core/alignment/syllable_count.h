// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dictora {

// About how many syllables saying a sentence takes, for how long it should
// last: each Han character (and kana) is one; in alphabetic words each
// group of vowel letters is one, at least one a word, a final silent "e"
// not counted; each digit is one. Never less than 1.
int syllableCount(const QString& sentence);

} // namespace dictora
