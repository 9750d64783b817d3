// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

typedef struct _GstElement GstElement;

namespace dictora {

// Plays synthesised speech: mono 16-bit PCM pushed into an appsrc, converted
// and resampled into the program's audio sink. One utterance at a time:
// begin, push while the engine produces, finish, then follow the position
// until it has played out; stop drops whatever is queued at once. Used by
// one thread only.
class SpeechPipeline {
public:
    // makeSink returns a new floating sink element, or nullptr with a reason.
    using SinkFactory = std::function<GstElement*(QString* error)>;

    explicit SpeechPipeline(SinkFactory makeSink);
    ~SpeechPipeline();
    SpeechPipeline(const SpeechPipeline&) = delete;
    SpeechPipeline& operator=(const SpeechPipeline&) = delete;

    // Prepares a new utterance at sampleRate; builds the pipeline the first
    // time. False (with a reason) when the pipeline cannot be made.
    bool begin(int sampleRate, QString* error);
    void push(const int16_t* samples, int count);
    // No more samples for this utterance.
    void finish();
    // Milliseconds of the utterance heard so far; -1 before sound starts.
    int positionMs() const;
    // Milliseconds pushed so far.
    int pushedMs() const;
    // True once the utterance has played out (or the sink failed).
    bool playedOut();
    // Silences at once and forgets the utterance.
    void stop();
    // Frees the pipeline and the audio device; begin makes them again.
    void release();

private:
    bool build(int sampleRate, QString* error);
    // Leaves PAUSED on the first chunk (or the end of a silent utterance).
    void startPlaying();

    SinkFactory makeSink_;
    GstElement* pipeline_ = nullptr;
    GstElement* source_ = nullptr;
    int sampleRate_ = 0;
    int64_t pushedSamples_ = 0;
    bool started_ = false;
    bool finished_ = false;
};

} // namespace dictora
