// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace dictora {

// One installed voice of the speech engine.
struct SpeechVoice {
    QString name;       // "English (America)"
    QString language;   // "en-us"
    QString identifier; // "gmw/en-US", what selects the voice
};

// Why speech cannot start: the message for the learner and the reason the
// engine gave. Both empty while speech works.
struct SpeechFailure {
    QString message;
    QString reason;
    bool isEmpty() const { return reason.isEmpty(); }
};

// The program's view of the speech worker: the values the media player and
// the worker exchange, and the voice settings the learner chooses. The
// worker runs on its own thread; every method here is called on the
// user-interface thread and returns at once, except requestSpeech and
// voices, whose waits are bounded.
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

    // Found on the worker thread; the window polls it to tell the learner.
    virtual SpeechFailure speechFailure() const = 0;

    // The installed voices (empty when the engine could not start).
    virtual QList<SpeechVoice> voices() = 0;
    // Voice identifiers of the two choices.
    virtual void setEnglishVoice(const QString& identifier) = 0;
    virtual void setChineseVoice(const QString& identifier) = 0;
    virtual QString englishVoice() const = 0;
    virtual QString chineseVoice() const = 0;
    // 0..100 and -10..10; they take effect with the next text.
    virtual void setVolume(int volume) = 0;
    virtual int volume() const = 0;
    virtual void setRate(int rate) = 0;
    virtual int rate() const = 0;
};

} // namespace dictora
