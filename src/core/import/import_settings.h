#pragma once

#include "core/study/program_folder.h"

namespace dictora {

// Whether the learner last left tidy reading ("整理歌词与字幕标签") on. Kept
// in the program folder's Cfg/Import.ini, so the add-content dialog opens
// with the choice the learner made last; off when nothing is stored.
bool loadTidyReading(const ProgramFolder& folder);

// Stores the choice; false when Cfg/Import.ini could not be written.
bool saveTidyReading(const ProgramFolder& folder, bool tidy);

} // namespace dictora
