// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace dictora {

// Plays a sentence again after a gap of silence, whether its sound comes
// from the media or from the voice: a set number of times after
// each start, or on and on while a loop is held. Driven by the media
// window's timer: tick is told the time and whether the span has ended, and
// answers whether to play it again now.
// What sounds a sentence and whether that sound has ended, for the repeats.
struct SentenceSound {
    bool mediaOpen = false;     // a media file plays the span
    bool mediaStopped = false;  // the device reports "stopped" (paused is not ended)
    bool speechPending = false; // without media: the voice has not spoken the text yet
};
// The sound of the sentence has ended: the device stopped, or, when no media
// is open and the voice speaks the text, the voice is done with it.
bool sentenceSoundEnded(const SentenceSound& sound);

// Repeats and loops go on only while the sound is on, outside Line-by-line
// play (which runs on through the media), and while the sentence has a span
// to hear again: a media span, or the text the voice speaks (0..length).
bool repeatsGoOn(bool soundOn, bool lineByLine, int playFromMs, int playToMs);

class SpanRepeat {
public:
    // A new sentence starts: it is to be heard playCount times in all
    // (1 = once, no repeat), gapMs apart. Ends a loop.
    void start(int playCount, int gapMs);
    // Plays the sentence again and again, gapMs apart, until stop.
    void loop(int gapMs);
    // No more plays of this sentence (another key, another row, pause, mute).
    void stop();

    bool looping() const { return looping_; }
    // Plays still owed after the one under way (a loop owes plays forever).
    int playsLeft() const { return looping_ ? -1 : left_; }

    // spanEnded: the device reports the span has stopped. Returns true when
    // the span is to be played again now; the gap runs from the first tick
    // that saw the end.
    bool tick(qint64 nowMs, bool spanEnded);

private:
    int left_ = 0;
    int gapMs_ = 0;
    bool looping_ = false;
    qint64 endedAtMs_ = -1;
};

} // namespace dictora
