// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/export/flashcard_writer.h"

#include "core/media/voice_choice.h"
#include "core/study/file_replacement.h"
#include "platform/export/package_archive.h"
#include "platform/speech/espeak_engine.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>

namespace dictora {

namespace {

// A clip is short when it holds less than its sentence by more than the
// rounding of a sample.
constexpr qint64 kRoundingMs = 1;

} // namespace

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

bool FlashcardWriter::writeClips(const FlashcardExport& plan, const ExportProgress& progress,
                                 QString* error)
{
    const QList<FlashcardItem> clips = plan.distinctClips();
    const int total = int(clips.size());
    int written = 0;
    QMap<QString, QList<ClipSpan>> byMedia;
    QMap<QString, QStringList> namesByMedia;
    for (const FlashcardItem& item : clips)
        if (!item.clip.isSpoken()) {
            byMedia[item.clip.mediaPath].append(
                {item.clip.startMs, item.clip.endMs, plan.clipPath(item)});
            namesByMedia[item.clip.mediaPath].append(item.clipFileName);
        }

    for (auto it = byMedia.cbegin(); it != byMedia.cend(); ++it) {
        const int before = written;
        if (loudnessOf_) {
            const float factor = float(gainFactor(levellingGainDb(loudnessOf_(it.key()))));
            cutter_.setLevelling([factor](std::vector<float>& samples, int) {
                for (float& sample : samples)
                    sample *= factor;
            });
        }
        QList<qint64> cutMs;
        const bool ok = cutter_.cutMedia(
            it.key(), it.value(),
            [&](int n) {
                written = before + n;
                return !progress || progress(written, total);
            },
            error, &cutMs);
        if (!ok)
            return false;
        const QStringList& names = namesByMedia[it.key()];
        for (qsizetype k = 0; k < names.size(); ++k)
            cutMs_.insert(names[k], cutMs.value(k));
        written = before + int(it.value().size());
    }
    for (const FlashcardItem& item : clips) {
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
    return true;
}

bool FlashcardWriter::writePackage(const FlashcardExport& plan, const ExportProgress& progress,
                                   QString* error)
{
    // Clips and collection are gathered in a hidden folder of this user's
    // own (mode 0700, a name no one can guess) beside the package, which
    // goes with them.
    QTemporaryDir gathered(plan.outDir + QStringLiteral("/.") + plan.name +
                           QStringLiteral(".apkg.dictora-tmp-XXXXXX"));
    if (!gathered.isValid()) {
        *error = QStringLiteral("cannot write in %1: %2")
                     .arg(QDir::toNativeSeparators(plan.outDir), gathered.errorString());
        return false;
    }
    FlashcardExport inPackage = plan;
    inPackage.clipDir = gathered.path();
    if (!writeClips(inPackage, progress, error))
        return false;
    const QString collection = gathered.filePath(QStringLiteral("collection.anki2"));
    if (!writePackageCollection(collection, plan, cards_, nowMs_, error))
        return false;
    const WriteOutcome media =
        replaceFileName(gathered.filePath(QStringLiteral("media")), packageMediaMap(plan));
    if (!media.ok) {
        *error = media.error;
        return false;
    }
    QList<ArchiveMember> members{
        {QStringLiteral("collection.anki2"), collection, true},
        {QStringLiteral("media"), gathered.filePath(QStringLiteral("media")), true}};
    const QList<FlashcardItem> clips = plan.distinctClips();
    for (qsizetype k = 0; k < clips.size(); ++k)
        members.append({QString::number(k), inPackage.clipPath(clips[k]), false});
    return writeArchive(plan.packagePath(), members, error);
}

bool FlashcardWriter::write(const FlashcardExport& plan, const ExportProgress& progress,
                            QString* error, ExportShortfall* shortfall)
{
    cutMs_.clear();
    if (plan.format == FlashcardFormat::Package) {
        if (!writePackage(plan, progress, error))
            return false;
    } else {
        if (!writeClips(plan, progress, error))
            return false;
        const WriteOutcome tsv = replaceFileName(plan.tsvPath(), plan.tsv());
        if (!tsv.ok) {
            *error = tsv.error;
            return false;
        }
    }
    if (shortfall) {
        *shortfall = {};
        for (const FlashcardItem& item : plan.items) {
            if (item.clip.isSpoken())
                shortfall->spokenRows << item.row;
            else if (item.isCutShort() ||
                     cutMs_.value(item.clipFileName) + kRoundingMs < item.clip.lengthMs())
                shortfall->shortRows << item.row;
        }
    }
    return true;
}

} // namespace dictora
