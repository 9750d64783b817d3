// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace dictora {

// A pause in a recording: the quiet frames [first, end), and its floor, the
// median of their levels (dB): the room's own level, which the fading tails
// and breaths a pause also holds rise above.
struct Pause {
    int first = 0;
    int end = 0;
    float floorDb = 0;

    int frames() const { return end - first; }
};

// How quiet a frame must be to belong to a pause, frame by frame: the
// floor is the lowest 10th percentile of the one-second blocks within two
// seconds, the speech level the highest 95th percentile of those blocks; a
// frame is quiet below floor + 30 % of the distance, and never less than
// 6 dB above the floor; none is where the two lie less than 12 dB apart. Local, so that the room
// tone between the talkers of a joined recording, or a noisy passage, is judged against its own
// surroundings.
std::vector<float> quietThresholds(const std::vector<float>& levelDb);

// The pauses of at least minFrames quiet frames, in order. A frame is
// quiet below its threshold, or when its level is steady (within 5 dB over
// 11 frames in a row that hold it) and less than 15 dB above the threshold: room
// tone or hum, never speech, which rises and falls. A loud blip of up to
// four frames inside quiet does not end a pause: a click spreads over the
// three overlapping frames that hold it, and where the room's tone changes
// (a joined recording, a microphone switched on) the step between the two
// levels holds one more. Measured on real speech joined with pauses of
// room tone (two frames -> four): p95 230 -> 80 ms. The thresholds
// are set on thresholdLevelDb when it is given (one value per frame too;
// FeatureTrack::pauseLevels() tells why), else on levelDb.
std::vector<Pause> findPauses(const std::vector<float>& levelDb, int minFrames,
                              const std::vector<float>& thresholdLevelDb = {});

// The level within this many dB of a pause's floor is the pause; speech
// ends, fricatives and breathy tails included, where the level falls to it.
// Measured on real speech against 6 dB over the pause's 20th percentile,
// with the hiss measured apart (sentence_alignment.cpp): Mandarin ends
// late by more than 100 ms 5 -> 3 of 16, p95 of all boundaries
// 190 -> 113 ms, ends cutting speech 3 -> 2.
inline constexpr float kTailAboveFloorDb = 4.0f;

// Sound this far above a pause's floor is heard, a breath of room tone is
// not.
inline constexpr float kHeardAboveFloorDb = 10.0f;

// The end of the last sound heard in [from, to): the last three frames
// there whose mean power is kHeardAboveFloorDb above floorDb, and in them
// the frame after the last one that loud itself; `from` when none are or
// when the sound runs on into the last three frames (the start of what
// follows, not the end of what went before).
int lastSoundEnd(const std::vector<float>& levelDb, int from, int to, float floorDb);

// The median of the levels of frames [first, end), or -200 when none.
float medianLevel(const std::vector<float>& levelDb, int first, int end);

// The level that `share` (0..1) of the frames [first, end) lie below, or
// -200 when none.
float levelPercentile(const std::vector<float>& levelDb, int first, int end, double share);

// Whole words at a sentence's end (the frame after its last): the end
// moves later while the three frames from it hold a mean power at least
// kTailAboveFloorDb above floorDb, never past `limit`. It never moves
// earlier.
int extendEndOverTail(const std::vector<float>& levelDb, int end, float floorDb, int limit);

// The same at a sentence's first frame: it moves earlier while the three
// frames before it are that loud, never before `limit`.
int extendStartOverOnset(const std::vector<float>& levelDb, int start, float floorDb, int limit);

// A sound this far above the talker's speech level is not speech: a
// cough, a knock, a door. Measured on real speech: a cough 110 ms after a
// sentence's last word, 15 dB above the 95th percentile of the talker's
// speech, had carried the end 690 ms late; no other boundary moved.
inline constexpr float kLoudAboveSpeechDb = 10.0f;
// Such a sound lasts at most this long (600 ms).
inline constexpr int kLoudSoundFrames = 60;

// A sentence's end (the first frame of the pause after it) with a loud
// sound between a short pause and that end left out: when one of
// `shortPauses` ends in the kLoudSoundFrames before `end` and the sound from
// there to `end` holds three frames whose mean power is kLoudAboveSpeechDb
// above speechDb, the first frame of the latest such short pause; else
// `end`. A cough just after the last word is no part of the sentence.
int endBeforeLoudSound(const std::vector<float>& levelDb, const std::vector<Pause>& shortPauses,
                       int end, float speechDb);

// The same at a sentence's start: a loud sound from `start` to a short pause
// that begins within kLoudSoundFrames is left out, the start going to the
// end of the earliest such pause.
int startAfterLoudSound(const std::vector<float>& levelDb, const std::vector<Pause>& shortPauses,
                        int start, float speechDb);

// Where two sentences run into each other without a pause: the frame of
// lowest mean power over three frames in [from, to), the nearest to `near`
// among equals. `from` when the range is empty.
int quietestFrame(const std::vector<float>& levelDb, int from, int to, int near);

} // namespace dictora
