// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/speech/speech_voice.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

namespace dictora {

// A word the voice has reached: when it starts in the synthesised audio and
// where it ends in the text, in Unicode characters from the text's start.
struct SpokenWord {
    int audioMs = 0;
    int endCharacter = 0;
};

// espeak-ng in synchronous mode: synthesize() returns once the whole text is
// turned into PCM, which arrives chunk by chunk through the callbacks, far
// faster than it plays. espeak-ng keeps global state, so one engine may be
// started at a time, and all its calls belong to one thread.
class EspeakEngine {
public:
    struct Output {
        std::function<void(const int16_t* samples, int count)> samples;
        std::function<void(const SpokenWord& word)> word;
        // Asked between chunks; false abandons the text.
        std::function<bool()> keepGoing;
    };

    EspeakEngine() = default;
    ~EspeakEngine();
    EspeakEngine(const EspeakEngine&) = delete;
    EspeakEngine& operator=(const EspeakEngine&) = delete;

    // Claims the engine, loading its data the first time. False (with a
    // reason) when it cannot.
    bool start(QString* error);
    // Gives the engine up and forgets the voice; the data stays loaded.
    void stop();
    bool isStarted() const { return sampleRate_ > 0; }
    // Mono 16-bit samples per second.
    int sampleRate() const { return sampleRate_; }

    QList<SpeechVoice> voices() const;
    // Selects a voice by identifier; the engine keeps its voice on failure.
    bool setVoice(const QString& identifier);
    QString voice() const { return voice_; }
    void setParameters(int wordsPerMinute, int volume);

    // False when the engine refused the text or the text was abandoned.
    bool synthesize(const QString& text, const Output& output);

private:
    int sampleRate_ = 0;
    QString voice_;
};

} // namespace dictora
