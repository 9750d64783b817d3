// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/loudness_levelling.h"
#include "core/media/padded_span.h"
#include "core/media/playback_settings.h"
#include "core/media/span_repeat.h"
#include "core/study/program_folder.h"

#include <QString>

#include <functional>

namespace dictora {

class MediaCommands;
class SentenceTable;
class SpeechOutput;
class UnitLibrary;
class VideoSurface;
struct StudyState;

// What the media window's 100 ms timer is to do after a tick.
struct MediaTickDecision {
    bool nextLine = false;     // advance Line-by-line play (the sentence list's NextLine)
    bool unlockTyping = false; // UnlockTyping(1) of the dictation window
};

// Plays the span of one sentence out of the Section's media file through the
// device alias MYSHOW, or speaks the sentence when it has no usable media.
// It keeps the study state's media fields (mediaFilePath, openMediaLengthMs,
// playFromMs, playToMs, spanEndMs) and talks to devices only through the
// command layer. Everything runs on the user-interface thread; the speech
// worker is reached through SpeechOutput.
//
// spanPlaying and speaking mean that the sound of this sentence has begun,
// not that it still sounds: they are cleared by the dictation unlock or by
// the next start.
class MediaPlayer {
public:
    // How long PlaySpan waits for the device to report "playing" before it
    // counts the span as started anyway.
    static constexpr int kPlayStartWaitMs = 1000;
    static constexpr int kPollStepMs = 10;

    MediaPlayer(StudyState& state, SentenceTable& table, ProgramFolder folder,
                MediaCommands& commands, SpeechOutput& speech, VideoSurface* surface = nullptr);

    // The window that shows video; it is made after the player, and may go
    // before it (nullptr: sound only, no window to show or hide).
    void setVideoSurface(VideoSurface* surface) { surface_ = surface; }

    // The library that knows the open Unit: ".." media paths live under
    // Media/<name of the open Unit>/, read from it at each play, so a switch
    // or a rename is followed at once (nullptr: no Unit, the Media folder).
    void setUnitLibrary(const UnitLibrary* library) { library_ = library; }
    // The pause used while polling the device; tests hand in one that only counts.
    void setPause(std::function<void(int ms)> pause) { pause_ = std::move(pause); }
    // A monotonic clock in milliseconds for the gap between repeats; tests
    // hand in one they move by hand.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

    // Padding, repeats, slow speed and levelling of what is heard.
    void setPlaybackSettings(const PlaybackSettings& settings) { settings_ = settings.clamped(); }
    const PlaybackSettings& playbackSettings() const { return settings_; }
    // The measured loudness of a media file, or nothing while it is unknown
    // (it is measured in the background; a later play picks it up).
    void setLoudnessLookup(std::function<std::optional<Loudness>(const QString& path)> lookup)
    {
        loudness_ = std::move(lookup);
    }

    // (Re)opens mediaFilePath as MYSHOW and reads its length.
    void openMedia();
    // Turns the current row into a span and plays it. advancing is the
    // sentence list's flag set by NextLine; it is consumed here. When no row
    // is current, returns the row the list should select (whose selection
    // then plays it), else kNone.
    int playRow(bool& advancing);
    // Plays playFromMs..playToMs, or speaks the row text.
    void playSpan(bool forceSpeech);
    void replaySentence();
    // Stops the media where it is (Line-by-line play ended).
    void stopMedia();
    // Closes the media file because its Section went: the device, the video
    // and the lengths.
    void closeMediaFile();
    // Plays the current sentence again at the normal or the slow speed,
    // once, without touching the recorder: a free replay.
    void replayFree(bool slow);
    // Plays the current sentence again and again, a repeat gap apart, until
    // stopRepeats.
    void loopSentence();
    // Ends a loop and any repeats still owed.
    void stopRepeats() { repeat_.stop(); }
    bool looping() const { return repeat_.looping(); }
    // The span heard for the current sentence, padding included.
    HeardSpan heardSpan() const;
    void pauseMedia();
    void resumeMedia();
    // "playing", "paused", "stopped", ... of the device, or of the voice when
    // no media is open.
    QString mediaMode();
    // Position in the media's own time in milliseconds, or the character
    // position of the voice when no media is open.
    int playPosition();
    // The decisions of the 100 ms timer. recordStatus is the recorder's
    // RecordStatus, used to unlock typing after a recording from memory.
    MediaTickDecision tick(int recordStatus);
    // Tells the device where the video goes after the window changed size.
    void placeVideo();

    // The media file of a row: its mediaPath, with ".." resolved to the copy
    // under the program's Media folder.
    QString mediaPathOfRow(int row) const;

    bool hasOpenMedia() const;
    bool paused() const { return paused_; }
    bool spanPlaying() const { return spanPlaying_; }
    // Forgets that the sound of the current sentence has begun.
    void clearSpanFlags()
    {
        spanPlaying_ = false;
        speaking_ = false;
    }
    bool playBusy() const { return playBusy_; }
    bool speaking() const { return speaking_; }
    int declaredLengthMs() const { return declaredLengthMs_; }

private:
    void closeMedia();
    // The repeats of the settings for the sentence about to sound.
    void startRepeats();
    void speakSpan();
    void playMediaSpan();
    // The neighbours of row in the media's time, for padding.
    SpanNeighbours neighboursOf(int row, const QString& path) const;
    // Sends the speed and the levelling gain the next play wants, when the
    // device does not have them yet.
    void prepareDevice();

    StudyState& state_;
    SentenceTable& table_;
    ProgramFolder folder_;
    MediaCommands& commands_;
    SpeechOutput& speech_;
    VideoSurface* surface_;
    std::function<void(int ms)> pause_;
    std::function<qint64()> clock_;
    std::function<std::optional<Loudness>(const QString&)> loudness_;
    PlaybackSettings settings_;
    SpanRepeat repeat_;
    SpanNeighbours neighbours_;
    // Speed (thousandths) and volume (thousandths) the next play asks for,
    // and what the open device was last told.
    int wantedSpeed_ = 1000;
    int deviceSpeed_ = 1000;
    int deviceVolume_ = 1000;
    const UnitLibrary* library_ = nullptr;

    bool paused_ = false;
    bool playBusy_ = false;
    bool spanPlaying_ = false;
    bool speaking_ = false;
    int declaredLengthMs_ = -1000;
};

} // namespace dictora
