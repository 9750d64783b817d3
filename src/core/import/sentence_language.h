// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/sentence_table.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace dictora {

// The language sentences are written in, as an ISO 639-1 code, told first by
// the script most of their letters are in: Han "zh" (with kana among them
// "ja"), Hangul "ko", Cyrillic "ru", Greek "el", Arabic "ar", Hebrew "he",
// Thai "th", Devanagari "hi". Latin letters are told apart by counting the
// short common words of English, French, German, Spanish, Italian,
// Portuguese and Dutch. "en" when nothing tells: no letters, or Latin text
// without any of those words.
QString languageOfSentences(const QStringList& sentences);

// The language of a Unit's sentence rows (their `Text`; titles and the
// prompt line `text2` are left out), as languageOfSentences tells it.
QString languageOfRows(const std::vector<SentenceRow>& rows);

} // namespace dictora
