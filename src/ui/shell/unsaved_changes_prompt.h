// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace dictora {

class UnitLibrary;

// Closing the program while the open Unit has changes that are not saved
// (an autosave failed, or the last change came just now): one more try, and
// while that fails the learner chooses between saving again (after freeing
// space, say) and closing without the changes. Returns once the changes are
// saved or the learner chose to close anyway.
void saveOrConfirmClose(UnitLibrary& library, QWidget* parent);

} // namespace dictora
