// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/listening_keys.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace dictora {

class SentenceTable;

// What a key of the media window does. The window filters every key before
// its controls see it, so nothing here reaches another handler.
enum class MediaKeyAction {
    Pass,           // not the window's key
    Swallow,        // eaten without effect
    TogglePlayback, // pause, resume or replay (mediaPlaybackToggle)
    Restore,        // leave the enlarged display
    SelectPrevious, // select the sentence row before the current one
    SelectNext,     // select the sentence row after the current one
    Listen,         // a listening key (key down only): listening.play says what to play
};

struct MediaKeyDown {
    MediaKeyAction action = MediaKeyAction::Pass;
    ListeningStep listening; // also: any other key ends a loop
};
MediaKeyDown mediaKeyDown(const KeyPress& press, const ListeningContext& context = {});
// hasCurrentRow: a row of the sentence list is current.
MediaKeyAction mediaKeyUp(int key, bool enlarged, bool dictationMode, bool hasCurrentRow);

// What Space (or a click) does, by the device mode and the paused flag.
enum class PlaybackToggle { Pause, Resume, Replay };
PlaybackToggle mediaPlaybackToggle(const QString& mode, bool paused);

// The sentence row step rows away from currentRow (-1 or +1) when it exists
// and is a sentence row; kNone otherwise.
int neighbourSentenceRow(const SentenceTable& table, int currentRow, int step);

// The window's place whenever it is shown or hidden: 500 x 300 centred on
// the screen.
inline constexpr QSize kMediaWindowSize{500, 300};
QRect centredMediaRect(const QSize& screen);

// The smallest size the learner can drag the window down to.
inline constexpr QSize kMediaWindowMinimum{50, 50};

// A 5-pixel strip along the right edge and one along the bottom edge both
// grab the bottom-right sizing corner.
bool inSizingCorner(const QPoint& point, const QSize& window);

// A press becomes a drag of the window once the mouse has moved more than
// 4 pixels in x or in y.
bool isWindowDrag(const QPoint& pressed, const QPoint& now);

// Where the video goes in a window of the given size: all of it but a
// 5-pixel strip at the right and bottom, which is the sizing grip.
inline QRect videoArea(const QSize& window)
{
    return QRect(0, 0, window.width() - 5, window.height() - 5);
}

} // namespace dictora
