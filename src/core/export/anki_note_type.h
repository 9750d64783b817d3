// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QStringList>

namespace dictora {

// Dictora's own note type in a flashcard package. Its id, fields and
// templates never change between exports, so a flashcard program keeps using
// the note type it made at the first import (and whatever the learner
// changed in it) rather than making a copy each time.
//
// Fields: 句子 (the sentence: the first field and the sort field, never the
// sound), 提示 (the second line), 音频 (the sound tag) and 单元 (Unit and
// Section). Templates: 听写 plays the sound and asks for the sentence to be
// typed, which the flashcard program checks; 回忆 plays the sound and shows
// the sentence behind it.
inline constexpr qint64 kDictoraNoteTypeId = 1765180800123;
inline const QString kDictoraNoteTypeName = QStringLiteral("Dictora 听写");
inline const QStringList kDictoraNoteFields{QStringLiteral("句子"), QStringLiteral("提示"),
                                            QStringLiteral("音频"), QStringLiteral("单元")};

enum class CardTemplate { Dictation = 0, Recall = 1 }; // their order in the note type

// The note type as the collection's "models" entry holds it; deckId is the
// deck its new cards go to.
QJsonObject dictoraNoteType(qint64 deckId);

} // namespace dictora
