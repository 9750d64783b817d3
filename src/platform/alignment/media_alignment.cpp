// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/alignment/media_alignment.h"

#include "core/alignment/alignment_text.h"
#include "platform/alignment/media_samples.h"
#include "platform/alignment/sentence_synthesis.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <gst/gst.h>

namespace dictora {

namespace {

constexpr int kRecordingRate = 16000;

// Shares of the whole work, measured on an hour of speech: speaking the
// text, decoding the recording, warping.
constexpr double kSynthesisShare = 0.30;
constexpr double kDecodingShare = 0.35;

std::function<bool(double)> part(const std::function<bool(double)>& progress, double from,
                                 double share)
{
    if (!progress)
        return {};
    return [=](double done) { return progress(from + share * done); };
}

} // namespace

MediaAlignment alignMedia(const MediaAlignmentRequest& request,
                          const std::function<bool(double done)>& progress)
{
    QElapsedTimer clock;
    clock.start();
    MediaAlignment result;
    const auto refuse = [&](const QString& message) {
        result.status = MediaAlignment::Status::Refused;
        result.message = message;
        result.seconds = clock.elapsed() / 1000.0;
        return result;
    };
    const auto cancelled = [&] {
        result.status = MediaAlignment::Status::Cancelled;
        result.sentences.clear();
        result.seconds = clock.elapsed() / 1000.0;
        return result;
    };
    if (request.sentences.isEmpty())
        return refuse(noSentencesMessage());
    const QString mediaName = QFileInfo(request.mediaPath).fileName();
    const QString voice =
        request.voice.isEmpty() ? defaultVoiceFor(request.sentences) : request.voice;

    const QList<SpeechVoice> voices = alignmentVoices(part(progress, 0, 0));
    if (progress && !progress(0.0))
        return cancelled();
    if (voices.isEmpty())
        return refuse(QStringLiteral("espeak-ng 不能启动, 不能对齐时间."));
    const int found = findAlignmentVoice(voices, voice);
    if (found < 0)
        return refuse(unknownVoiceMessage(voice));
    if (!voiceReadsScript(voices[found].language, request.sentences))
        return refuse(scriptMessage(voice));

    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    FeatureExtractor recording(kRecordingRate);
    MediaSampleSink sink;
    sink.samples = [&](const int16_t* samples, int count) { recording.add(samples, count); };
    sink.progress = part(progress, 0, kDecodingShare);
    const MediaSamples decoded = decodeMediaSamples(request.mediaPath, kRecordingRate, sink);
    result.mediaMs = decoded.durationMs;
    switch (decoded.status) {
    case MediaSamples::Status::Decoded:
        break;
    case MediaSamples::Status::NoAudio:
        return refuse(noAudioMessage(mediaName));
    case MediaSamples::Status::Unreadable:
        return refuse(unreadableMediaMessage(mediaName, decoded.reason));
    case MediaSamples::Status::Cancelled:
        return cancelled();
    }
    if (recording.track().frameCount() == 0)
        return refuse(silentMediaMessage(mediaName));

    SyntheticSpeech speech = synthesizeSentences(voices[found].identifier, request.sentences,
                                                 part(progress, kDecodingShare, kSynthesisShare));
    switch (speech.status) {
    case SyntheticSpeech::Status::Spoken:
        break;
    case SyntheticSpeech::Status::UnknownVoice:
        return refuse(unknownVoiceMessage(voice));
    case SyntheticSpeech::Status::EngineUnavailable:
        return refuse(QStringLiteral("espeak-ng 不能启动 (%1), 不能对齐时间.").arg(speech.reason));
    case SyntheticSpeech::Status::Cancelled:
        return cancelled();
    }

    const double warpFrom = kDecodingShare + kSynthesisShare;
    AlignmentResult aligned =
        alignSentences(recording.takeTrack(), std::move(speech.track), speech.sentences,
                       request.stated, part(progress, warpFrom, 1.0 - warpFrom));
    switch (aligned.status) {
    case AlignmentResult::Status::Aligned:
        break;
    case AlignmentResult::Status::Silent:
        return refuse(silentMediaMessage(mediaName));
    case AlignmentResult::Status::TextTooLong:
        return refuse(textTooLongMessage(aligned.syntheticSeconds, aligned.heardSeconds));
    case AlignmentResult::Status::NoSentences:
        return refuse(noSentencesMessage());
    case AlignmentResult::Status::Cancelled:
        return cancelled();
    }
    result.status = MediaAlignment::Status::Aligned;
    result.sentences = std::move(aligned.sentences);
    result.seconds = clock.elapsed() / 1000.0;
    return result;
}

} // namespace dictora
