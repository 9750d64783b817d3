// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/speech/speech_worker.h"

#include "core/media/voice_choice.h"
#include "core/study/study_state.h"
#include "platform/media/audio_devices.h"
#include "platform/speech/espeak_engine.h"
#include "platform/speech/speech_pipeline.h"

#include <gst/gst.h>

#include <algorithm>
#include <vector>

namespace dictora {

namespace {

using namespace std::chrono_literals;

// A text of blanks keeps the request open this long, as if something had
// been said; every request ends with the short settle wait.
constexpr auto kBlankTextWait = 1500ms;
constexpr auto kSettleWait = 300ms;
// The position is followed this often while the voice plays.
constexpr auto kFollowStep = 10ms;
// An output that never reports the end is given up this long after the
// audio should have played out.
constexpr auto kPlayOutSlack = 3000ms;

// UTF-16 index of each Unicode character of text, and one past the end.
std::vector<int> characterOffsets(const QString& text)
{
    std::vector<int> offsets;
    offsets.reserve(size_t(text.size()) + 1);
    for (int i = 0; i < text.size(); ++i) {
        if (!text.at(i).isLowSurrogate())
            offsets.push_back(i);
    }
    offsets.push_back(int(text.size()));
    return offsets;
}

} // namespace

struct SpeechWorker::Engine {
    EspeakEngine voice;
    SpeechPipeline output;
};

QString SpeechWorker::failureMessage()
{
    return QStringLiteral("Fail to initialize espeak-ng TTS !");
}

SpeechWorker::SpeechWorker() : SpeechWorker(Options{}) {}

SpeechWorker::SpeechWorker(Options options)
    : options_(std::move(options)), englishVoice_(QString::fromLatin1(kDefaultEnglishVoice)),
      chineseVoice_(QString::fromLatin1(kDefaultChineseVoice))
{
    if (!options_.makeSink)
        options_.makeSink = [](QString* error) { return createAudioSink(error); };
    thread_ = std::thread([this] { run(); });
}

SpeechWorker::~SpeechWorker()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void SpeechWorker::publish()
{
    // Taking the lock orders the change before any waiter's next check.
    {
        std::lock_guard lock(mutex_);
    }
    changed_.notify_all();
}

void SpeechWorker::setSpeechText(const QString& text)
{
    {
        std::lock_guard lock(mutex_);
        speechText_ = text;
    }
    changed_.notify_all();
}

QString SpeechWorker::speechText() const
{
    std::lock_guard lock(mutex_);
    return speechText_;
}

QString SpeechWorker::spokenText() const
{
    std::lock_guard lock(mutex_);
    return spokenText_;
}

void SpeechWorker::requestSpeech()
{
    std::unique_lock lock(mutex_);
    spokenText_ = QString::fromLatin1(kAbandonMarker);
    changed_.notify_all();
    // Bounded: a worker that cannot answer must not hang the window.
    changed_.wait_for(lock, options_.requestWait, [this] { return !pending_ || stopping_; });
    position_ = kNone;
    ++requestId_;
    pending_ = true;
    lock.unlock();
    changed_.notify_all();
}

void SpeechWorker::stopSpeaking()
{
    {
        std::lock_guard lock(mutex_);
        spokenText_ = QString::fromLatin1(kAbandonMarker);
    }
    changed_.notify_all();
}

void SpeechWorker::clearSpeechPending()
{
    {
        std::lock_guard lock(mutex_);
        pending_ = false;
    }
    changed_.notify_all();
}

void SpeechWorker::setVolume(int volume)
{
    volume_ = espeakVolumeFor(volume);
}

void SpeechWorker::setRate(int rate)
{
    rate_ = std::clamp(rate, -10, 10);
}

QList<SpeechVoice> SpeechWorker::voices()
{
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, 1s, [this] { return voicesKnown_ || stopping_; });
    return voices_;
}

void SpeechWorker::setEnglishVoice(const QString& identifier)
{
    std::lock_guard lock(mutex_);
    englishVoice_ = identifier;
}

void SpeechWorker::setChineseVoice(const QString& identifier)
{
    std::lock_guard lock(mutex_);
    chineseVoice_ = identifier;
}

QString SpeechWorker::englishVoice() const
{
    std::lock_guard lock(mutex_);
    return englishVoice_;
}

QString SpeechWorker::chineseVoice() const
{
    std::lock_guard lock(mutex_);
    return chineseVoice_;
}

QString SpeechWorker::voiceFor(const QString& text) const
{
    std::lock_guard lock(mutex_);
    return voiceLanguageFor(text) == VoiceLanguage::Chinese ? chineseVoice_ : englishVoice_;
}

bool SpeechWorker::waitUntil(const std::function<bool()>& condition,
                             std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
        lock.unlock();
        const bool holds = condition();
        lock.lock();
        return holds;
    });
}

bool SpeechWorker::textStillWanted()
{
    std::lock_guard lock(mutex_);
    return !stopping_ && spokenText_ == speechText_;
}

bool SpeechWorker::waitWhileWanted(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout,
                             [this] { return stopping_ || spokenText_ != speechText_; });
}

QString SpeechWorker::failure() const
{
    // The reason is written once, before the flag that publishes it.
    return failed_.load(std::memory_order_acquire) ? failureReason_ : QString();
}

SpeechFailure SpeechWorker::speechFailure() const
{
    const QString reason = failure();
    if (reason.isEmpty())
        return {};
    return {failureMessage(), reason};
}

void SpeechWorker::fail(const QString& reason)
{
    if (failureReported_)
        return;
    failureReported_ = true;
    failureReason_ = reason;
    failed_.store(true, std::memory_order_release);
    if (options_.reportFailure)
        options_.reportFailure(failureMessage(), reason);
    else
        qWarning("%s (%s)", qPrintable(failureMessage()), qPrintable(reason));
}

bool SpeechWorker::ensureEngine()
{
    if (engine_->voice.isStarted())
        return true;
    QString reason;
    if (!gst_init_check(nullptr, nullptr, nullptr)) {
        fail(QStringLiteral("GStreamer could not start"));
        return false;
    }
    if (!engine_->voice.start(&reason)) {
        fail(reason);
        return false;
    }
    return true;
}

void SpeechWorker::releaseEngine()
{
    engine_->output.release();
    engine_->voice.stop();
}

void SpeechWorker::run()
{
    Engine engine{EspeakEngine(), SpeechPipeline(options_.makeSink)};
    engine_ = &engine;
    const bool startedAtOnce = ensureEngine();
    voiceHeld_ = startedAtOnce;
    {
        std::lock_guard lock(mutex_);
        voices_ = engine.voice.voices();
        voicesKnown_ = true;
    }
    changed_.notify_all();

    bool holding = startedAtOnce;
    for (;;) {
        std::unique_lock lock(mutex_);
        const auto requested = [this] {
            return stopping_ || (pending_ && requestId_ != servedId_);
        };
        if (holding) {
            // The voice is let go after a quiet spell and made again on demand.
            if (!changed_.wait_for(lock, options_.idleRelease, requested)) {
                lock.unlock();
                releaseEngine();
                holding = false;
                voiceHeld_ = false;
                publish();
                continue;
            }
        } else {
            changed_.wait(lock, requested);
        }
        if (stopping_)
            break;
        const quint64 request = requestId_;
        spokenText_ = speechText_;
        const QString text = spokenText_.trimmed();
        const int leadingBlanks = int(spokenText_.indexOf(text));
        lock.unlock();

        if (!text.isEmpty() && ensureEngine()) {
            holding = true;
            voiceHeld_ = true;
            speak(text, std::max(leadingBlanks, 0));
        } else if (textStillWanted()) {
            waitWhileWanted(kBlankTextWait);
        }
        if (textStillWanted())
            waitWhileWanted(kSettleWait);

        lock.lock();
        servedId_ = request;
        // A request made meanwhile (after the window counted this one as
        // served) stays pending for the next turn.
        if (requestId_ == request)
            pending_ = false;
        lock.unlock();
        changed_.notify_all();
    }
    releaseEngine();
    voiceHeld_ = false;
    engine_ = nullptr;
}

void SpeechWorker::speak(const QString& text, int leadingBlanks)
{
    const auto stillWanted = [this] { return textStillWanted(); };
    EspeakEngine& voice = engine_->voice;
    SpeechPipeline& output = engine_->output;

    if (!voice.setVoice(voiceFor(text)))
        voice.setVoice(QString::fromLatin1(kDefaultEnglishVoice));
    voice.setParameters(espeakRateFor(rate_), volume_);
    QString reason;
    if (!output.begin(voice.sampleRate(), &reason)) {
        fail(reason);
        if (stillWanted())
            waitWhileWanted(kBlankTextWait);
        return;
    }
    ++started_;
    state_ = 2;
    publish();

    std::vector<SpokenWord> words;
    EspeakEngine::Output sound;
    sound.samples = [&](const int16_t* samples, int count) { output.push(samples, count); };
    sound.word = [&](const SpokenWord& word) { words.push_back(word); };
    sound.keepGoing = stillWanted;
    voice.synthesize(text, sound);
    output.finish();

    const std::vector<int> offsets = characterOffsets(text);
    const auto characterPosition = [&](int character) {
        // Counted in the speech text as the window holds it, blanks included.
        return leadingBlanks + offsets[size_t(std::clamp(character, 0, int(offsets.size()) - 1))];
    };
    const auto giveUpAt = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(output.pushedMs()) + kPlayOutSlack;
    size_t reached = 0;
    bool abandoned = false;
    for (;;) {
        abandoned = waitWhileWanted(kFollowStep);
        if (abandoned)
            break;
        const int heardMs = output.positionMs();
        bool moved = false;
        while (reached < words.size() && heardMs >= words[reached].audioMs) {
            position_ = characterPosition(words[reached].endCharacter);
            ++reached;
            moved = true;
        }
        if (moved)
            publish();
        if (output.playedOut() || std::chrono::steady_clock::now() > giveUpAt)
            break;
    }
    output.stop();
    if (abandoned) {
        ++abandoned_;
    } else if (!words.empty()) {
        position_ = characterPosition(words.back().endCharacter);
    }
    state_ = 1;
    publish();
}

} // namespace dictora
