// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace dictora {

// The listening keys, free in every mode: Ctrl+R replays the current
// sentence, Ctrl+Shift+R replays it slowly, Ctrl+L loops it. None of them
// is typing, so in Dictation mode none counts as a try.
enum class ListeningKey { None, Replay, SlowReplay, Loop };

// A key press as every window's key map reads it: the Qt key code and the
// modifiers held.
struct KeyPress {
    constexpr KeyPress(int key, bool ctrl = false, bool shift = false, bool otherModifiers = false,
                       bool autoRepeat = false)
        : key(key), ctrl(ctrl), shift(shift), otherModifiers(otherModifiers),
          autoRepeat(autoRepeat)
    {
    }
    int key;
    bool ctrl;
    bool shift;
    bool otherModifiers; // Alt or Meta
    bool autoRepeat;     // a held key repeating
};

// key is a Qt key code; ctrl and shift the modifiers held (other modifiers
// make it no listening key).
ListeningKey listeningKeyFor(int key, bool ctrl, bool shift, bool otherModifiers);

// A modifier pressed on its own (or a key Qt cannot name): no typing, no
// command; the learner may be reaching for Ctrl+R.
bool isModifierKey(int key);

// Whether a key press ends a loop: any key but a listening key and the
// modifier keys pressed on their own (the learner reaching for Ctrl).
bool keyEndsLoop(int key, ListeningKey listening);

// What the window knows when a key goes down.
struct ListeningContext {
    bool looping = false;     // the player loops the current sentence
    bool sentenceRow = false; // a row is current and it is a sentence row
};

// What a key press does as a listening key, in every window's key map
// alike. A listening key is eaten wherever it is pressed: it is never typing,
// an Enter or the first key of a recording, so it never counts as a try.
struct ListeningStep {
    ListeningKey play = ListeningKey::None; // what the player is to do now
    bool stopLoop = false;                  // any other key ends a loop
    bool swallow = false;                   // a listening key: the window's own handling never sees it

    bool operator==(const ListeningStep&) const = default;
};
ListeningStep listeningKeyStep(const KeyPress& press, const ListeningContext& context);

// What a listening action (key or menu item) plays: only a sentence row has
// anything to replay.
ListeningKey listeningPlay(ListeningKey requested, bool sentenceRow);

// The menu texts of the listening items, after the usual items.
inline constexpr const char16_t* kReplayItemText = u"重播本句 (Ctrl+R)";
inline constexpr const char16_t* kSlowReplayItemText = u"慢速重播 (Ctrl+Shift+R)";
inline constexpr const char16_t* kLoopItemText = u"单句循环 (Ctrl+L)";
inline constexpr const char16_t* kPlaybackSettingsItemText = u"播放设置";

} // namespace dictora
