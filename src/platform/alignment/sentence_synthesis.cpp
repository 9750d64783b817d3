// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/alignment/sentence_synthesis.h"

#include "core/alignment/syllable_count.h"
#include "platform/speech/espeak_engine.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace dictora {

namespace {

// A synthetic sample this loud or louder is speech (about -44 dBFS).
constexpr int kSpeechSample = 200;

bool startEngine(EspeakEngine& engine, int waitMs, const std::function<bool(double)>& progress,
                 QString* reason)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!engine.start(reason)) {
        if (std::chrono::steady_clock::now() >= until || (progress && !progress(0.0)))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

} // namespace

int findAlignmentVoice(const QList<SpeechVoice>& voices, const QString& key)
{
    if (key.isEmpty())
        return -1;
    const int exact = findVoice(voices, key);
    if (exact >= 0)
        return exact;
    for (int i = 0; i < voices.size(); ++i) {
        const QString tail = voices[i].identifier.section(u'/', -1);
        if (tail.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    for (int i = 0; i < voices.size(); ++i) {
        if (voices[i].language.startsWith(key + u'-', Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

QList<SpeechVoice> alignmentVoices(const std::function<bool(double done)>& progress)
{
    EspeakEngine engine;
    QString reason;
    if (!startEngine(engine, 8000, progress, &reason))
        return {};
    return engine.voices();
}

SyntheticSpeech synthesizeSentences(const QString& voiceKey, const QStringList& sentences,
                                    const std::function<bool(double done)>& progress,
                                    int engineWaitMs)
{
    SyntheticSpeech speech;
    EspeakEngine engine;
    if (!startEngine(engine, engineWaitMs, progress, &speech.reason)) {
        speech.status = progress && !progress(0.0) ? SyntheticSpeech::Status::Cancelled
                                                   : SyntheticSpeech::Status::EngineUnavailable;
        return speech;
    }
    const QList<SpeechVoice> voices = engine.voices();
    const int found = findAlignmentVoice(voices, voiceKey);
    if (found < 0 || !engine.setVoice(voices[found].identifier)) {
        speech.status = SyntheticSpeech::Status::UnknownVoice;
        return speech;
    }
    speech.voiceLanguage = voices[found].language;
    // One rendering at the ordinary rate. Others (another English voice, a
    // faster rate) placed the same boundaries in real speech; a slower one
    // made the text seem too long for quick talkers.
    engine.setParameters(espeakRateFor(0), 100);

    const int rate = engine.sampleRate();
    FeatureExtractor features(rate);
    std::vector<int16_t> samples;
    EspeakEngine::Output output;
    output.samples = [&](const int16_t* data, int count) {
        samples.insert(samples.end(), data, data + count);
    };

    features.addSilence(rate / 5);
    for (int k = 0; k < sentences.size(); ++k) {
        samples.clear();
        engine.synthesize(sentences[k], output);
        const auto loud = [](int16_t s) { return std::abs(int(s)) >= kSpeechSample; };
        auto first = std::find_if(samples.begin(), samples.end(), loud);
        auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
        if (first >= last) {
            // Nothing audible (punctuation only): a short stretch of silence
            // keeps the sentence in place.
            samples.assign(size_t(rate / 10), 0);
            first = samples.begin();
            last = samples.end();
        }
        if (k > 0)
            features.addSilence(rate * 15 / 100);
        SentenceFrames frames;
        frames.syllables = syllableCount(sentences[k]);
        frames.first = int((features.samplesSeen() + features.hop() / 2) / features.hop());
        features.add(&*first, int(last - first));
        frames.end = int((features.samplesSeen() + features.hop() / 2) / features.hop());
        speech.sentences.push_back(frames);
        if (progress && !progress(double(k + 1) / sentences.size())) {
            speech.status = SyntheticSpeech::Status::Cancelled;
            return speech;
        }
    }
    features.addSilence(rate / 5);
    speech.track = features.takeTrack();
    for (SentenceFrames& frames : speech.sentences) {
        frames.end = std::min(frames.end, speech.track.frameCount());
        frames.first = std::min(frames.first, std::max(frames.end - 1, 0));
    }
    speech.status = SyntheticSpeech::Status::Spoken;
    return speech;
}

} // namespace dictora
