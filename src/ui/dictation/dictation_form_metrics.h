// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

namespace dictora {

// Figures of the dictation form that both its filling and its layout use.
inline const QColor kFormBackground{250, 245, 245};
// Height of one prompt line, and the pitch of the answer box's lines, in pixels.
inline constexpr int kPromptLineHeight = 26;
inline constexpr int kAnswerLinePitch = 53;
// The prompt's height when the form is docked: two lines with their margins.
inline constexpr int kDockedPromptHeight = 52;

} // namespace dictora
