// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QMessageBox;

namespace dictora {

struct StudyState;

// In Dictation a message must not take the keyboard: the learner's letters
// would go into the box, and a Return meant for the answer would close it
// unread. There the box is shown without activation and without blocking
// any window, and true is returned; outside Dictation nothing is done and
// the caller shows the box as it always does.
bool showAsDictationNotice(QMessageBox& box, const StudyState& state);

} // namespace dictora
