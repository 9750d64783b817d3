// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dictora {

// The media player's view of the speech worker: the values the two sides
// exchange. The worker runs on its own thread; every method here is called on
// the user-interface thread and returns at once, except requestSpeech, whose
// wait is bounded.
class SpeechOutput {
public:
    virtual ~SpeechOutput() = default;

    // The text of the current row (LoadRow). A worker speaking another text
    // abandons it.
    virtual void setSpeechText(const QString& text) = 0;
    virtual QString speechText() const = 0;

    // Abandons whatever is being said, waits a bounded time for the worker to
    // clear the previous request, and asks for the speech text to be spoken.
    // The position restarts at kNone.
    virtual void requestSpeech() = 0;

    // Abandons whatever is being said, without a new request.
    virtual void stopSpeaking() = 0;

    // True from requestSpeech until the worker has spoken (or abandoned) the text.
    virtual bool speechPending() const = 0;
    // Counts the request as served without stopping the voice.
    virtual void clearSpeechPending() = 0;

    // Characters reached in the speech text: start of the word being spoken
    // plus its length; kNone before the first word.
    virtual int speechPos() const = 0;
    // 0 before anything was spoken, 1 done, 2 speaking.
    virtual int speechState() const = 0;
};

} // namespace dictora
