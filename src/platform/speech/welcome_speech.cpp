// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/speech/welcome_speech.h"

#include "platform/media/wave_file.h"
#include "platform/speech/espeak_engine.h"
#include "platform/speech/speech_voice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dictora {

namespace {

constexpr int kLeadMs = 300; // silence before each piece
constexpr int kTailMs = 500; // and after the last one

// The program's own voice for English and Mandarin, else the voice of that
// name, else the first whose language starts with it.
bool chooseVoice(EspeakEngine& engine, const QString& voice)
{
    if (voice == u"en" && engine.setVoice(QString::fromLatin1(kDefaultEnglishVoice)))
        return true;
    if (voice == u"cmn" && engine.setVoice(QString::fromLatin1(kDefaultChineseVoice)))
        return true;
    const QList<SpeechVoice> voices = engine.voices();
    const int found = findVoice(voices, voice);
    if (found >= 0 && engine.setVoice(voices[found].identifier))
        return true;
    for (const SpeechVoice& known : voices)
        if (known.language == voice || known.language.startsWith(voice + u'-'))
            return engine.setVoice(known.identifier);
    return false;
}

void appendSilence(QByteArray& pcm, int sampleRate, int ms)
{
    pcm.append(QByteArray(qsizetype(sampleRate) * ms / 1000 * 2, '\0'));
}

} // namespace

bool speakIntoWaveFile(const std::vector<SpokenPiece>& pieces, const QString& path,
                       std::vector<SpokenSpan>* spans, uint32_t* lengthMs, QString* error)
{
    EspeakEngine engine;
    if (!engine.start(error))
        return false;
    const int rate = engine.sampleRate();
    const auto msAt = [rate](qsizetype bytes) { return uint32_t(bytes / 2 * 1000 / rate); };
    QByteArray pcm;
    spans->clear();
    for (const SpokenPiece& piece : pieces) {
        if (!chooseVoice(engine, piece.voice)) {
            *error = QStringLiteral("espeak-ng has no voice %1").arg(piece.voice);
            return false;
        }
        engine.setParameters(150, 100);
        appendSilence(pcm, rate, kLeadMs);
        const qsizetype start = pcm.size();
        EspeakEngine::Output output;
        output.samples = [&pcm](const int16_t* samples, int count) {
            pcm.append(reinterpret_cast<const char*>(samples), qsizetype(count) * 2);
        };
        if (!engine.synthesize(piece.text, output) || pcm.size() == start) {
            *error = QStringLiteral("espeak-ng could not speak \"%1\"").arg(piece.text);
            return false;
        }
        spans->push_back({msAt(start), msAt(pcm.size())});
    }
    appendSilence(pcm, rate, kTailMs);
    *lengthMs = msAt(pcm.size());
    return writeWaveFile(path, pcm, PcmFormat{rate, 1, 16}, error);
}

bool createWelcomeUnit(const ProgramFolder& folder, QString* error)
{
    std::vector<SpokenPiece> pieces;
    for (const WelcomeSection& section : welcomeSections())
        for (const WelcomeSentence& sentence : section.sentences)
            pieces.push_back({sentence.text, sentence.voice});
    const QString media = welcomeMediaPath(folder);
    if (!QDir().mkpath(QFileInfo(media).absolutePath())) {
        *error = QStringLiteral("cannot make the folder %1")
                     .arg(QDir::toNativeSeparators(QFileInfo(media).absolutePath()));
        return false;
    }
    std::vector<SpokenSpan> spans;
    uint32_t lengthMs = 0;
    if (!speakIntoWaveFile(pieces, media, &spans, &lengthMs, error))
        return false;
    if (!writeWelcomeUnit(folder, welcomeRows(spans, lengthMs), error)) {
        QFile::remove(media);
        return false;
    }
    return true;
}

} // namespace dictora
