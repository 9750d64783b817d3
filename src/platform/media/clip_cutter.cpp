// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/clip_cutter.h"

#include "core/study/file_replacement.h"
#include "platform/media/media_length.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSemaphore>
#include <QThreadPool>
#include <QUrl>
#include <QtEndian>

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>

#include <unistd.h>

namespace dictora {

namespace {

// Decoded clips waiting for an encoder; bounds the memory a fast decoder
// can fill while the encoders catch up.
constexpr int kQueuedClips = 4;

QString gstError(GstMessage* message)
{
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    const QString text = error ? QString::fromUtf8(error->message) : QStringLiteral("unknown error");
    g_clear_error(&error);
    return text;
}

// Runs a pipeline that ends by itself to its end; false with error.
bool runToEnd(GstElement* pipeline, QString* error)
{
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, GST_CLOCK_TIME_NONE, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (!ok && error)
        *error = message ? gstError(message) : QStringLiteral("the pipeline stopped");
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    return ok;
}

struct PipelineDeleter {
    void operator()(GstElement* pipeline) const
    {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
    }
};
using Pipeline = std::unique_ptr<GstElement, PipelineDeleter>;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Encodes into a new file made beside outPath under an unpredictable name
// (O_EXCL, O_NOFOLLOW: nothing planted there is written through), then
// renames it over outPath, which replaces whatever has that name, a link
// included, as a name.
bool encodeOgg(const std::vector<float>& samples, int rate, const QString& outPath, QString* error)
{
    const QString target = QDir::toNativeSeparators(outPath);
    QByteArray partPath;
    const int fd = createTemporaryBeside(outPath, &partPath);
    if (fd < 0) {
        *error = QStringLiteral("cannot write %1: %2").arg(target, systemError());
        return false;
    }
    const auto abandon = [&](const QString& why) {
        ::unlink(partPath.constData());
        *error = QStringLiteral("cannot write %1: %2").arg(target, why);
        return false;
    };
    Pipeline pipeline(gst_parse_launch(
        "appsrc name=src format=time ! audioconvert ! vorbisenc ! oggmux ! fdsink name=sink",
        nullptr));
    if (!pipeline) {
        ::close(fd);
        return abandon(
            QStringLiteral("cannot make the Ogg Vorbis encoder (gstreamer1.0-plugins-base)"));
    }
    GstElement* src = gst_bin_get_by_name(GST_BIN(pipeline.get()), "src");
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink");
    g_object_set(sink, "fd", fd, nullptr);
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "F32LE", "rate",
                                        G_TYPE_INT, rate, "channels", G_TYPE_INT, 1, "layout",
                                        G_TYPE_STRING, "interleaved", nullptr);
    gst_app_src_set_caps(GST_APP_SRC(src), caps);
    gst_caps_unref(caps);
    gst_object_unref(sink);

    if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        gst_object_unref(src);
        pipeline.reset();
        ::close(fd);
        return abandon(QStringLiteral("the encoder did not start"));
    }
    const gsize bytes = samples.size() * sizeof(float);
    if (bytes > 0) {
        GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
        gst_buffer_fill(buffer, 0, samples.data(), bytes);
        GST_BUFFER_PTS(buffer) = 0;
        GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(samples.size(), GST_SECOND, rate);
        gst_app_src_push_buffer(GST_APP_SRC(src), buffer);
    }
    gst_app_src_end_of_stream(GST_APP_SRC(src));
    gst_object_unref(src);
    QString why;
    const bool ran = runToEnd(pipeline.get(), &why);
    pipeline.reset();
    if (!ran) {
        ::close(fd);
        return abandon(why);
    }
    if (::fsync(fd) != 0) {
        const QString reason = systemError();
        ::close(fd);
        return abandon(reason);
    }
    if (::close(fd) != 0)
        return abandon(systemError());
    if (::rename(partPath.constData(), QFile::encodeName(outPath).constData()) != 0)
        return abandon(systemError());
    return true;
}

// Encodes decoded clips on worker threads and keeps the first failure.
class EncoderQueue {
public:
    explicit EncoderQueue(ClipLevelling levelling) : levelling_(std::move(levelling))
    {
        pool_.setMaxThreadCount(std::min(2, std::max(1, QThread::idealThreadCount())));
    }
    ~EncoderQueue() { pool_.waitForDone(); }

    void add(std::vector<float> samples, int rate, const QString& outPath)
    {
        slots_.acquire();
        pool_.start([this, samples = std::move(samples), rate, outPath]() mutable {
            if (levelling_)
                levelling_(samples, rate);
            QString error;
            if (!failed() && !encodeOgg(samples, rate, outPath, &error)) {
                QMutexLocker lock(&mutex_);
                if (error_.isEmpty())
                    error_ = error;
            }
            ++written_;
            slots_.release();
        });
    }
    // Waits for the queue, telling progress; false when it cancelled.
    bool finish(const ClipProgress& progress, int* told)
    {
        while (!pool_.waitForDone(50)) {
            if (!tell(progress, told))
                return false;
        }
        return tell(progress, told);
    }
    bool tell(const ClipProgress& progress, int* told)
    {
        const int now = written_.load();
        if (now == *told || !progress)
            return true;
        *told = now;
        return progress(now);
    }
    bool failed() const
    {
        QMutexLocker lock(&mutex_);
        return !error_.isEmpty();
    }
    QString error() const
    {
        QMutexLocker lock(&mutex_);
        return error_;
    }

private:
    ClipLevelling levelling_;
    QThreadPool pool_;
    QSemaphore slots_{kQueuedClips};
    mutable QMutex mutex_;
    QString error_;
    std::atomic<int> written_{0};
};

struct OpenClip {
    qint64 first = 0; // sample range [first, end)
    qint64 end = 0;
    QString outPath;
    std::vector<float> samples;
    qsizetype spanIndex = 0; // in the spans asked for
};

// The next decoded sample, or nullptr at the end of the stream or on an
// error (then in *error). A failing decoder never ends the stream, so the
// sink is not waited on for ever.
GstSample* nextSample(GstElement* pipeline, GstAppSink* sink, QString* error)
{
    for (;;) {
        if (GstSample* sample = gst_app_sink_try_pull_sample(sink, 100 * GST_MSECOND))
            return sample;
        if (gst_app_sink_is_eos(sink))
            return nullptr;
        GstBus* bus = gst_element_get_bus(pipeline);
        GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
        gst_object_unref(bus);
        if (message) {
            *error = gstError(message);
            gst_message_unref(message);
            return nullptr;
        }
    }
}

qint64 sampleAt(qint64 ms, int rate)
{
    return ms * rate / 1000;
}

} // namespace

bool ClipCutter::writeClip(std::vector<float> samples, int rate, const QString& outPath,
                           QString* error)
{
    if (levelling_)
        levelling_(samples, rate);
    return encodeOgg(samples, rate, outPath, error);
}

bool ClipCutter::cutMedia(const QString& mediaPath, const QList<ClipSpan>& spans,
                          const ClipProgress& progress, QString* error, QList<qint64>* cutMs)
{
    QList<qsizetype> sorted(spans.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](qsizetype a, qsizetype b) { return spans[a].startMs < spans[b].startMs; });
    if (cutMs)
        cutMs->fill(0, spans.size());

    Pipeline pipeline(gst_parse_launch(
        "uridecodebin name=decode caps=audio/x-raw ! audioconvert ! "
        "audio/x-raw,format=F32LE,channels=1,layout=interleaved ! appsink name=sink sync=false",
        nullptr));
    if (!pipeline) {
        *error = QStringLiteral("cannot make a decoder for %1").arg(QDir::toNativeSeparators(mediaPath));
        return false;
    }
    GstElement* decode = gst_bin_get_by_name(GST_BIN(pipeline.get()), "decode");
    g_object_set(decode, "uri", QUrl::fromLocalFile(mediaPath).toEncoded().constData(), nullptr);
    gst_object_unref(decode);
    GstElement* sinkElement = gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink");
    GstAppSink* sink = GST_APP_SINK(sinkElement);
    gst_app_sink_set_max_buffers(sink, 32);
    if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        gst_object_unref(sinkElement);
        *error = QStringLiteral("cannot read %1").arg(QDir::toNativeSeparators(mediaPath));
        return false;
    }

    EncoderQueue encoders(levelling_);
    int told = 0;
    int rate = 0;
    qint64 position = -1; // sample index of the next decoded sample
    qsizetype nextSpan = 0;
    std::vector<OpenClip> open;
    bool cancelled = false;
    QString readError;

    const auto closeFinished = [&](bool all) {
        for (auto it = open.begin(); it != open.end();) {
            if (all || position >= it->end) {
                if (cutMs && rate > 0)
                    (*cutMs)[it->spanIndex] = qint64(it->samples.size()) * 1000 / rate;
                encoders.add(std::move(it->samples), rate, it->outPath);
                it = open.erase(it);
            } else {
                ++it;
            }
        }
    };

    while (!cancelled && !encoders.failed()) {
        GstSample* sample = nextSample(pipeline.get(), sink, &readError);
        if (!sample)
            break; // end of stream or error: the bus tells which
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        if (rate == 0) {
            const GstStructure* caps = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
            gst_structure_get_int(caps, "rate", &rate);
        }
        GstMapInfo map;
        if (rate > 0 && buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            const auto* data = reinterpret_cast<const float*>(map.data);
            const qint64 count = qint64(map.size / sizeof(float));
            // The decoded timeline is continuous; its first time stamp says
            // where it begins (a decoder may drop its priming samples).
            if (position < 0)
                position = GST_BUFFER_PTS_IS_VALID(buffer)
                               ? qint64(gst_util_uint64_scale_round(GST_BUFFER_PTS(buffer), rate, GST_SECOND))
                               : 0;
            const qint64 bufferEnd = position + count;
            while (nextSpan < sorted.size() &&
                   sampleAt(spans[sorted[nextSpan]].startMs, rate) < bufferEnd) {
                const qsizetype index = sorted[nextSpan++];
                const ClipSpan& span = spans[index];
                OpenClip clip{sampleAt(span.startMs, rate),
                              sampleAt(span.endMs, rate),
                              span.outPath,
                              {},
                              index};
                clip.samples.reserve(size_t(std::max<qint64>(0, clip.end - clip.first)));
                open.push_back(std::move(clip));
            }
            for (OpenClip& clip : open) {
                const qint64 from = std::max(clip.first, position);
                const qint64 to = std::min(clip.end, bufferEnd);
                if (to > from)
                    clip.samples.insert(clip.samples.end(), data + (from - position),
                                        data + (to - position));
            }
            position = bufferEnd;
            gst_buffer_unmap(buffer, &map);
            closeFinished(false);
        }
        gst_sample_unref(sample);
        cancelled = !encoders.tell(progress, &told);
    }
    gst_object_unref(sinkElement);
    if (!readError.isEmpty())
        readError = QStringLiteral("cannot read %1: %2").arg(QDir::toNativeSeparators(mediaPath), readError);
    pipeline.reset();
    if (readError.isEmpty() && !cancelled) {
        // Spans that reach past the end of the audio end with it; spans that
        // begin after it are empty clips.
        while (nextSpan < sorted.size()) {
            const qsizetype index = sorted[nextSpan++];
            open.push_back({0, 0, spans[index].outPath, {}, index});
        }
        closeFinished(true);
    }
    if (!cancelled)
        cancelled = !encoders.finish(progress, &told);
    if (cancelled) {
        *error = QStringLiteral("cancelled");
        return false;
    }
    if (encoders.failed()) {
        *error = encoders.error();
        return false;
    }
    if (!readError.isEmpty()) {
        *error = readError;
        return false;
    }
    return true;
}

int probeMediaLengthMs(const QString& path)
{
    GError* error = nullptr;
    GstDiscoverer* discoverer = gst_discoverer_new(30 * GST_SECOND, &error);
    if (!discoverer) {
        g_clear_error(&error);
        return -1;
    }
    qint64 reportedNs = -1;
    GstDiscovererInfo* info = gst_discoverer_discover_uri(
        discoverer, QUrl::fromLocalFile(path).toEncoded().constData(), &error);
    if (info && gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK)
        reportedNs = qint64(gst_discoverer_info_get_duration(info));
    if (info)
        g_object_unref(info);
    g_clear_error(&error);
    g_object_unref(discoverer);
    MediaLengthCache lengths;
    const qint64 ns = lengths.lengthNs(path, reportedNs);
    return ns > 0 ? int(ns / 1000000) : -1;
}

qint64 oggVorbisFrames(const QString& path, int* rate)
{
    *rate = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = file.readAll();
    const qsizetype id = data.indexOf("\x01vorbis");
    if (!data.startsWith("OggS") || id < 0 || id + 16 > data.size())
        return -1;
    *rate = qFromLittleEndian<qint32>(data.constData() + id + 12);
    const qsizetype last = data.lastIndexOf("OggS");
    if (last + 14 > data.size())
        return -1;
    return qFromLittleEndian<qint64>(data.constData() + last + 6);
}

qint64 decodedFrames(const QString& path, int* rate)
{
    Pipeline pipeline(gst_parse_launch(
        "uridecodebin name=decode caps=audio/x-raw ! audioconvert ! "
        "audio/x-raw,format=F32LE,channels=1 ! appsink name=sink sync=false",
        nullptr));
    if (!pipeline)
        return -1;
    GstElement* decode = gst_bin_get_by_name(GST_BIN(pipeline.get()), "decode");
    g_object_set(decode, "uri", QUrl::fromLocalFile(path).toEncoded().constData(), nullptr);
    gst_object_unref(decode);
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink");
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    qint64 frames = 0;
    *rate = 0;
    QString error;
    while (GstSample* sample = nextSample(pipeline.get(), GST_APP_SINK(sink), &error)) {
        if (*rate == 0)
            gst_structure_get_int(gst_caps_get_structure(gst_sample_get_caps(sample), 0), "rate", rate);
        frames += qint64(gst_buffer_get_size(gst_sample_get_buffer(sample)) / sizeof(float));
        gst_sample_unref(sample);
    }
    gst_object_unref(sink);
    return error.isEmpty() ? frames : -1;
}

} // namespace dictora
