// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace dictora {

// How loud a frame must be to count as speech in one recording: a pause is
// any frame quieter than `quietBelowDb`. `usable` is false when the
// recording has no clear pauses (steady noise or music throughout), and
// boundaries are then left where the warping put them.
struct PauseLevel {
    float quietBelowDb = -200;
    bool usable = false;
};

// From the frame energies: the quiet floor is the 10th percentile, the
// speech level the 95th; a frame is quiet below floor + 25 % of the distance,
// and the level is usable when the two lie at least 12 dB apart.
PauseLevel pauseLevelOf(const std::vector<float>& energyDb);

// Boundaries move to the nearest pause within this many frames (150 ms).
inline constexpr int kSnapFrames = 15;
// .. and there to the pause's edge on the sentence's side, at most this many
// frames (1 s) away: warping often leaves a boundary inside a long pause.
// Measured on real speech, reaching only 150 ms left p95 at 300 ms, 1 s
// brought it to 208 ms.
inline constexpr int kSnapReachFrames = 100;
// The frames either way that set the level around a boundary (1 s).
inline constexpr int kLevelContextFrames = 100;
// A pause lasts at least this many frames (40 ms).
inline constexpr int kPauseFrames = 4;

// The level around one boundary: floor and peak of the frames within
// kLevelContextFrames of it; quiet below floor + 30 % of the distance,
// usable when they lie at least 10 dB apart. Local, so that a recording's
// own room noise between sentences counts as a pause even where digital
// silence or louder passages elsewhere set the file's overall floor; a
// second either way, so that a boundary in the middle of a long pause still
// sees the speech on both sides.
PauseLevel localPauseLevel(const std::vector<float>& energyDb, int frame);

// A sentence's first frame moved to where speech resumes after the nearest
// pause within kSnapFrames: the first loud frame after the quiet run nearest
// to `frame`, never further than kSnapReachFrames from it. Unchanged when no
// pause is near or the level is not usable.
int snapStartToPause(const std::vector<float>& energyDb, const PauseLevel& level, int frame);

// A sentence's end (the frame after its last) moved to where the nearest
// pause within kSnapFrames begins: the first frame of the nearest quiet run,
// never further than kSnapReachFrames from `frame`.
int snapEndToPause(const std::vector<float>& energyDb, const PauseLevel& level, int frame);

} // namespace dictora
