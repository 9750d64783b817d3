// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace dictora {

// The family every window of the program asks for.
inline constexpr const char* kUiFamily = "微软雅黑";

// Maps "微软雅黑" and "Microsoft YaHei" to the simplified-Chinese Noto font
// (then WenQuanYi), so Chinese text gets its mainland glyph forms whatever
// the locale. Called once, before the first window is made.
void installFontSubstitutions();

// The program's font at the application's default size.
QFont uiFont();

} // namespace dictora
