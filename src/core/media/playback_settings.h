// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"

namespace dictora {

// How sentences are heard, kept in the program folder's Cfg/Playback.ini.
// Padding and speed change only what is heard, never a stored time.
struct PlaybackSettings {
    static constexpr int kMaxPaddingMs = 1000;
    static constexpr int kMinRepeat = 1;
    static constexpr int kMaxRepeat = 5;
    static constexpr int kMinGapMs = 300;
    static constexpr int kMaxGapMs = 3000;
    // The slow replay speed in thousandths of the normal speed.
    static constexpr int kMinSlowPermille = 500;
    static constexpr int kMaxSlowPermille = 900;

    int leadInMs = 0;      // heard before each sentence's start
    int tailMs = 0;        // heard after each sentence's end
    int repeatCount = 1;   // times each sentence is played in a row
    int repeatGapMs = 1000; // silence between two plays of a sentence, and in a loop
    int slowPermille = 750; // speed of the slow replay (Ctrl+Shift+R)
    bool levelLoudness = true;

    bool operator==(const PlaybackSettings&) const = default;

    // The same settings with every value brought into its range.
    PlaybackSettings clamped() const;
};

QString playbackSettingsPath(const ProgramFolder& folder);

// Reads Cfg/Playback.ini; a missing file or key gives the default, a value
// out of range is brought to the nearest limit, text that is no number is
// ignored.
PlaybackSettings loadPlaybackSettings(const ProgramFolder& folder);

// Writes the settings (clamped); false when the file could not be written.
bool savePlaybackSettings(const ProgramFolder& folder, const PlaybackSettings& settings);

} // namespace dictora
