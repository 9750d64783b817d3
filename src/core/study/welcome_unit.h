// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"
#include "core/study/sentence_table.h"
#include "core/study/unit_file.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace dictora {

// The Unit a new program folder starts with: it teaches by doing. Each
// sentence is spoken into one WAVE file under Media/<unit>/, so the first
// dictation works before the learner has any file of their own.
inline const QString kWelcomeUnitName = QStringLiteral("欢迎使用 Dictora");
inline const QString kWelcomeMediaName = QStringLiteral("welcome.wav");
// All of it is today's work: 20 sentences a day, the normal review.
inline constexpr UnitHeader kWelcomeHeader{2, 20.0f, 0};

// One practice sentence: what is spoken and typed (`text`), the line shown
// above the answer box (`text2`, the instruction), and the espeak-ng voice
// that speaks it.
struct WelcomeSentence {
    QString text;
    QString text2;
    QString voice;
};
struct WelcomeSection {
    QString title;
    std::vector<WelcomeSentence> sentences;
};
const std::vector<WelcomeSection>& welcomeSections();

// Where one sentence is heard in the spoken file, in milliseconds.
struct SpokenSpan {
    uint32_t startMs = 0;
    uint32_t endMs = 0;
};

// The Unit's rows: a title row per Section whose media is the spoken file in
// the Unit's media folder (".."), then its sentences with their spans, given
// in the order of welcomeSections(). Empty when the spans do not match the
// sentences one for one.
std::vector<SentenceRow> welcomeRows(const std::vector<SpokenSpan>& spans, uint32_t mediaLengthMs);

// True on the first start with this program folder: it has no Data folder
// yet. Asked before the data folders are created.
bool isNewProgramFolder(const ProgramFolder& folder);

// The Unit's file path and its media file's path.
QString welcomeUnitPath(const ProgramFolder& folder);
QString welcomeMediaPath(const ProgramFolder& folder);

// Writes the Unit file (never over an existing one). False with *error when
// it exists already or cannot be written.
bool writeWelcomeUnit(const ProgramFolder& folder, const std::vector<SentenceRow>& rows,
                      QString* error);

} // namespace dictora
