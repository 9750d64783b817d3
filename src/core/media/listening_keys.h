// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace dictora {

// The listening keys, free in every mode: Ctrl+R replays the current
// sentence, Ctrl+Shift+R replays it slowly, Ctrl+L loops it. None of them
// is typing, so in Dictation mode none counts as a try.
enum class ListeningKey { None, Replay, SlowReplay, Loop };

// key is a Qt key code; ctrl and shift the modifiers held (other modifiers
// make it no listening key).
ListeningKey listeningKeyFor(int key, bool ctrl, bool shift, bool otherModifiers);

// Whether a key press ends a loop: any key but a listening key and the
// modifier keys pressed on their own (the learner reaching for Ctrl).
bool keyEndsLoop(int key, ListeningKey listening);

// The menu texts of the listening items, after the usual items.
inline constexpr const char16_t* kReplayItemText = u"重播本句 (Ctrl+R)";
inline constexpr const char16_t* kSlowReplayItemText = u"慢速重播 (Ctrl+Shift+R)";
inline constexpr const char16_t* kLoopItemText = u"单句循环 (Ctrl+L)";
inline constexpr const char16_t* kPlaybackSettingsItemText = u"播放设置";

} // namespace dictora
