// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <vector>

namespace dictora {

// One clip to cut: [startMs, endMs) of the media, written to outPath.
struct ClipSpan {
    qint64 startMs = 0;
    qint64 endMs = 0;
    QString outPath;
};

// Applied to every clip's mono samples before they are encoded (loudness
// levelling); the samples are changed in place.
using ClipLevelling = std::function<void(std::vector<float>& samples, int rate)>;

// Told after each clip is written, with the number written so far; false
// cancels the rest.
using ClipProgress = std::function<bool(int written)>;

// Cuts clips out of media files into Ogg Vorbis through GStreamer, exact to
// the sample: a clip of [a, b) ms holds the samples from a × rate / 1000 up to
// b × rate / 1000 of the decoded audio, mixed to mono (the sentences are
// speech). One media file is decoded once for all its clips; encoding runs
// on up to two worker threads while decoding goes on. Each clip is written to
// a temporary file beside its target and renamed over it once complete, so a
// cancelled or failed export leaves no half-written clip, and a link
// planted at the clip's name is replaced, never written through.
class ClipCutter {
public:
    void setLevelling(ClipLevelling levelling) { levelling_ = std::move(levelling); }

    // False with error on the first failure or when progress cancelled
    // (error then says so); clips written before stay. cutMs, when given,
    // receives each span's length as cut (in the order of spans): shorter
    // than the span where the decoded audio ended early, as in a damaged
    // or truncated file.
    bool cutMedia(const QString& mediaPath, const QList<ClipSpan>& spans,
                  const ClipProgress& progress, QString* error, QList<qint64>* cutMs = nullptr);

    // Encodes mono samples (speech) into one clip at outPath.
    bool writeClip(std::vector<float> samples, int rate, const QString& outPath, QString* error);

private:
    ClipLevelling levelling_;
};

// The real length of a media file in milliseconds, read from its stream
// (scanned when the container only estimates it); -1 when unreadable.
int probeMediaLengthMs(const QString& path);

// The sample frames and rate an Ogg Vorbis file states: the granule position
// of its last page and the rate of its identification header; -1 when it is
// not such a file. Players trim the last packet to it, so it is the clip's
// exact length (GStreamer's decoder may hand out one sample more).
qint64 oggVorbisFrames(const QString& path, int* rate);

// Decodes a file completely: its sample frames and rate (tests, benchmarks).
qint64 decodedFrames(const QString& path, int* rate);

} // namespace dictora
