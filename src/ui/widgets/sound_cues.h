// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace dictora {

class MediaCommands;
struct ProgramFolder;

// The three commands that open the sound cues, in the order they are sent.
QStringList soundCueOpenCommands(const ProgramFolder& folder);

// Opens the cues Tip, Error and Match under their aliases, in the background:
// a slow or stuck audio output never holds up the window. A cue played before
// it is ready, or one that cannot be opened, stays silent; the latter is
// named on standard error.
void openSoundCues(MediaCommands& media, const ProgramFolder& folder);

// Play an opened cue from its start; with no media layer nothing plays.
void playTipCue(MediaCommands* media);
void playErrorCue(MediaCommands* media);
void playMatchCue(MediaCommands* media);

// Creates the missing data folders; a Cfg folder made now receives the
// default cues, which the learner may later replace or remove.
void prepareProgramFolder(const ProgramFolder& folder);

} // namespace dictora
