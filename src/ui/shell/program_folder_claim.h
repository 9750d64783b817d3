// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

class QWidget;

namespace dictora {

class ProgramFolderLock;
struct ProgramFolder;

// Takes the program folder for the program's whole run (the lock stays with
// the caller). When another writer holds it, or its lock file cannot be used
// at all, the learner is told why (standard error and a message box) and
// false is returned: the program must then end without touching any file,
// since running unlocked lets two writers overwrite each other's work.
bool claimProgramFolder(ProgramFolderLock& lock, const ProgramFolder& folder,
                        std::chrono::milliseconds wait, QWidget* parent = nullptr);

} // namespace dictora
