// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/speech_output.h"
#include "platform/speech/speech_voice.h"

#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

typedef struct _GstElement GstElement;

namespace dictora {

// Speaks the sentences that have no usable media, on a thread of its own,
// with espeak-ng through the program's audio output.
//
// The user-interface thread sets the speech text and asks for it to be
// spoken; the worker speaks it, reporting the position (characters reached)
// and state, and clears the pending request when done. A new text, or the
// marker requestSpeech writes into the spoken text, abandons an utterance at
// once. The texts are handed over under the lock; the numbers are atomics.
//
// When the engine or the audio output cannot be made, that is reported once
// and requests are served in silence, so nothing waits on them.
class SpeechWorker : public SpeechOutput {
public:
    // Written into the spoken text so that it differs from any sentence.
    static constexpr const char* kAbandonMarker = ".,.,.,.,.,";

    struct Options {
        // The audio output; by default the program's (DICTORA_AUDIO_SINK).
        std::function<GstElement*(QString* error)> makeSink;
        // Told once, on the worker thread, when speech cannot start.
        std::function<void(const QString& message, const QString& reason)> reportFailure;
        // How long requestSpeech waits for the previous request to clear.
        std::chrono::milliseconds requestWait{2000};
        // The voice is released after this long without a request.
        std::chrono::milliseconds idleRelease{5000};
    };

    // The message shown when speech cannot start.
    static QString failureMessage();
    // Why speech could not start (empty while it could); the window polls it
    // to tell the learner, as the failure is found on the worker thread.
    QString failure() const;

    SpeechWorker();
    explicit SpeechWorker(Options options);
    ~SpeechWorker() override;
    SpeechWorker(const SpeechWorker&) = delete;
    SpeechWorker& operator=(const SpeechWorker&) = delete;

    // SpeechOutput
    void setSpeechText(const QString& text) override;
    QString speechText() const override;
    void requestSpeech() override;
    void stopSpeaking() override;
    bool speechPending() const override { return pending_; }
    void clearSpeechPending() override;
    int speechPos() const override { return position_; }
    int speechState() const override { return state_; }

    QString spokenText() const;

    SpeechFailure speechFailure() const override;
    // 0..100, start 100; -10..10, start 0. Take effect with the next text.
    void setVolume(int volume) override;
    int volume() const override { return volume_; }
    void setRate(int rate) override;
    int rate() const override { return rate_; }

    // The installed voices, once the worker has started the engine (waits
    // for that, up to a second).
    QList<SpeechVoice> voices() override;
    void setEnglishVoice(const QString& identifier) override;
    void setChineseVoice(const QString& identifier) override;
    QString englishVoice() const override;
    QString chineseVoice() const override;
    // The identifier of the voice that speaks text.
    QString voiceFor(const QString& text) const;

    // Waits until condition holds, rechecking whenever the worker publishes
    // a change; false when the time ran out.
    bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

    // Utterances started and abandoned so far.
    int utterancesStarted() const { return started_; }
    int utterancesAbandoned() const { return abandoned_; }
    // Whether the engine and the audio output are held (released when idle).
    bool voiceHeld() const { return voiceHeld_; }

private:
    void run();
    // Speaks the trimmed text; positions count leadingBlanks more.
    void speak(const QString& text, int leadingBlanks);
    bool ensureEngine();
    void releaseEngine();
    void fail(const QString& reason);
    bool textStillWanted();
    // Waits up to timeout while the spoken text still equals the speech text;
    // true when it no longer does (or the worker stops).
    bool waitWhileWanted(std::chrono::milliseconds timeout);
    void publish();

    Options options_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    QString speechText_;
    QString spokenText_;
    QString englishVoice_;
    QString chineseVoice_;
    QList<SpeechVoice> voices_;
    bool voicesKnown_ = false;
    quint64 requestId_ = 0;
    quint64 servedId_ = 0;
    bool stopping_ = false;

    std::atomic<bool> pending_{false};
    std::atomic<int> position_{-1000};
    std::atomic<int> state_{0};
    std::atomic<int> volume_{100};
    std::atomic<int> rate_{0};
    std::atomic<int> started_{0};
    std::atomic<int> abandoned_{0};
    std::atomic<bool> voiceHeld_{false};
    bool failureReported_ = false;
    QString failureReason_;
    std::atomic<bool> failed_{false};

    struct Engine;
    Engine* engine_ = nullptr; // owned by the worker thread
    std::thread thread_;
};

} // namespace dictora
