// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/export/flashcard_writer.h"

#include "core/media/voice_choice.h"
#include "core/study/file_replacement.h"
#include "platform/speech/espeak_engine.h"

#include <QDir>
#include <QMap>

namespace dictora {

bool FlashcardWriter::speak(const FlashcardItem& item, const QString& outPath, QString* error)
{
    EspeakEngine engine;
    QString reason;
    if (!engine.start(&reason)) {
        *error = QStringLiteral("Fail to initialize espeak-ng TTS ! (%1)").arg(reason);
        return false;
    }
    const bool chinese = voiceLanguageFor(item.clip.text) == VoiceLanguage::Chinese;
    engine.setVoice(QString::fromLatin1(chinese ? kDefaultChineseVoice : kDefaultEnglishVoice));
    std::vector<float> samples;
    EspeakEngine::Output output;
    output.samples = [&](const int16_t* data, int count) {
        for (int k = 0; k < count; ++k)
            samples.push_back(float(data[k]) / 32768.0f);
    };
    if (!engine.synthesize(item.clip.text, output)) {
        *error = QStringLiteral("espeak-ng could not speak \"%1\"").arg(item.clip.text);
        return false;
    }
    return cutter_.writeClip(std::move(samples), engine.sampleRate(), outPath, error);
}

bool FlashcardWriter::write(const FlashcardExport& plan, const ExportProgress& progress,
                            QString* error)
{
    const int total = int(plan.items.size());
    int written = 0;
    QMap<QString, QList<ClipSpan>> byMedia;
    for (const FlashcardItem& item : plan.items)
        if (!item.clip.isSpoken())
            byMedia[item.clip.mediaPath].append(
                {item.clip.startMs, item.clip.endMs, plan.clipPath(item)});

    for (auto it = byMedia.cbegin(); it != byMedia.cend(); ++it) {
        const int before = written;
        if (loudnessOf_) {
            const float factor = float(gainFactor(levellingGainDb(loudnessOf_(it.key()))));
            cutter_.setLevelling([factor](std::vector<float>& samples, int) {
                for (float& sample : samples)
                    sample *= factor;
            });
        }
        const bool ok = cutter_.cutMedia(
            it.key(), it.value(),
            [&](int n) {
                written = before + n;
                return !progress || progress(written, total);
            },
            error);
        if (!ok)
            return false;
        written = before + int(it.value().size());
    }
    for (const FlashcardItem& item : plan.items) {
        if (!item.clip.isSpoken())
            continue;
        if (!speak(item, plan.clipPath(item), error))
            return false;
        ++written;
        if (progress && !progress(written, total)) {
            *error = QStringLiteral("cancelled");
            return false;
        }
    }
    const WriteOutcome tsv = writeFileAtomically(plan.tsvPath(), plan.tsv());
    if (!tsv.ok) {
        *error = tsv.error;
        return false;
    }
    return true;
}

} // namespace dictora
