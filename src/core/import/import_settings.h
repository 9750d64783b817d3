// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"

namespace dictora {

// Whether the learner last left tidy reading ("整理歌词与字幕标签") on. Kept
// in the program folder's Cfg/Import.ini, so the add-content dialog opens
// with the choice the learner made last; off when nothing is stored.
bool loadTidyReading(const ProgramFolder& folder);

// Stores the choice; false when Cfg/Import.ini could not be written.
bool saveTidyReading(const ProgramFolder& folder, bool tidy);

// The folder the learner last chose a text or media file in, kept in the
// same file, so the open-file dialogs start there. A folder that is gone (or
// nothing stored) gives the learner's home folder.
QString loadLastFolder(const ProgramFolder& folder);
// Stores the folder of a chosen file; false when it could not be written.
bool saveLastFolder(const ProgramFolder& folder, const QString& chosenFile);

} // namespace dictora
