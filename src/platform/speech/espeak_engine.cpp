// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/speech/espeak_engine.h"

#include <espeak-ng/speak_lib.h>

#include <atomic>
#include <mutex>

namespace dictora {

namespace {

// espeak-ng's callback carries no context of ours that arrives on every
// call, so the one synthesis in flight is kept here.
thread_local const EspeakEngine::Output* currentOutput = nullptr;
thread_local bool abandoned = false;
std::atomic<bool> engineTaken{false};

// Audio in chunks of this many milliseconds: the granularity of abandoning.
constexpr int kChunkMs = 20;

int onSynthesised(short* samples, int count, espeak_EVENT* events)
{
    const EspeakEngine::Output* output = currentOutput;
    if (!output)
        return 1;
    for (espeak_EVENT* event = events; event && event->type != espeakEVENT_LIST_TERMINATED;
         ++event) {
        if (event->type == espeakEVENT_WORD && output->word)
            output->word({event->audio_position, event->text_position - 1 + event->length});
    }
    if (samples && count > 0 && output->samples)
        output->samples(reinterpret_cast<const int16_t*>(samples), count);
    if (output->keepGoing && !output->keepGoing()) {
        abandoned = true;
        return 1;
    }
    return 0;
}

} // namespace

EspeakEngine::~EspeakEngine()
{
    stop();
}

bool EspeakEngine::start(QString* error)
{
    if (isStarted())
        return true;
    if (engineTaken.exchange(true)) {
        if (error)
            *error = QStringLiteral("the speech engine is in use elsewhere");
        return false;
    }
    // espeak-ng 1.51 hangs in espeak_Terminate once it has been initialised
    // a second time, so it is loaded once for the process and kept; stop()
    // only gives up the claim. Without DONT_EXIT espeak-ng ends the process
    // when its data is missing.
    static std::mutex loading;
    static int loadedRate = 0;
    int rate = 0;
    {
        std::lock_guard lock(loading);
        if (loadedRate <= 0) {
            loadedRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kChunkMs, nullptr,
                                           espeakINITIALIZE_DONT_EXIT);
        }
        rate = loadedRate;
    }
    if (rate <= 0) {
        engineTaken = false;
        if (error)
            *error = QStringLiteral("espeak-ng could not load its data");
        return false;
    }
    espeak_SetSynthCallback(onSynthesised);
    sampleRate_ = rate;
    voice_.clear();
    return true;
}

void EspeakEngine::stop()
{
    if (!isStarted())
        return;
    sampleRate_ = 0;
    voice_.clear();
    engineTaken = false;
}

QList<SpeechVoice> EspeakEngine::voices() const
{
    QList<SpeechVoice> list;
    if (!isStarted())
        return list;
    const espeak_VOICE** voices = espeak_ListVoices(nullptr);
    for (int i = 0; voices && voices[i]; ++i) {
        const espeak_VOICE* voice = voices[i];
        // languages: a priority byte, then the first language name.
        const char* language = voice->languages && voice->languages[0] ? voice->languages + 1 : "";
        list.append({QString::fromUtf8(voice->name), QString::fromUtf8(language),
                     QString::fromUtf8(voice->identifier)});
    }
    return list;
}

bool EspeakEngine::setVoice(const QString& identifier)
{
    if (!isStarted())
        return false;
    if (identifier == voice_)
        return true;
    if (espeak_SetVoiceByName(identifier.toUtf8().constData()) != EE_OK)
        return false;
    voice_ = identifier;
    return true;
}

void EspeakEngine::setParameters(int wordsPerMinute, int volume)
{
    if (!isStarted())
        return;
    espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
    espeak_SetParameter(espeakVOLUME, volume, 0);
}

bool EspeakEngine::synthesize(const QString& text, const Output& output)
{
    if (!isStarted())
        return false;
    const QByteArray utf8 = text.toUtf8();
    currentOutput = &output;
    abandoned = false;
    const espeak_ERROR result = espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0,
                                             POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    currentOutput = nullptr;
    return result == EE_OK && !abandoned;
}

} // namespace dictora
