// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"
#include "core/study/welcome_unit.h"

#include <QString>

#include <vector>

namespace dictora {

// Texts to be spoken one after another into one file, each by its voice.
struct SpokenPiece {
    QString text;
    QString voice; // an espeak-ng voice or language name ("en", "cmn")
};

// Speaks the pieces with espeak-ng into a mono 16-bit WAVE file, with a
// short silence before each; spans[i] is where piece i is heard, from its
// first synthesised sample to its last. The engine must not be claimed
// elsewhere (call before the speech worker starts). False with *error when
// the engine, a voice or the file fails; no file is left then.
bool speakIntoWaveFile(const std::vector<SpokenPiece>& pieces, const QString& path,
                       std::vector<SpokenSpan>* spans, uint32_t* lengthMs, QString* error);

// The welcome Unit of a new program folder: its sentences spoken into
// Media/<unit>/welcome.wav and the Unit file written. False with *error; a
// Unit that cannot be made leaves no file behind.
bool createWelcomeUnit(const ProgramFolder& folder, QString* error);

} // namespace dictora
