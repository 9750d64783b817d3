// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/decoded_audio.h"

#include <QDateTime>
#include <QFileInfo>
#include <QUrl>

#include <gst/app/gstappsink.h>
#include <gst/audio/audio.h>
#include <gst/gst.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace dictora {

namespace {

// A decode that delivers nothing for this long has hung.
constexpr GstClockTime kStallTimeout = 20 * GST_SECOND;
constexpr GstClockTime kMinSplitNs = 60 * GST_SECOND;
constexpr GstClockTime kPollNs = 100 * GST_MSECOND;

// decodebin would take libav's fixed-point MP3 decoder, which with its
// planar output costs twice as much as a floating-point one for the same
// samples; analysis only reads the sound, so the faster one is taken.
int skipSlowDecoders(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer)
{
    static const bool fasterThere = [] {
        GstElementFactory* faster = gst_element_factory_find("mpg123audiodec");
        if (!faster)
            faster = gst_element_factory_find("avdec_mp3float");
        if (faster)
            gst_object_unref(faster);
        return faster != nullptr;
    }();
    const bool slow = fasterThere && g_strcmp0(GST_OBJECT_NAME(factory), "avdec_mp3") == 0;
    return slow ? 2 /* GST_AUTOPLUG_SELECT_SKIP */ : 0 /* GST_AUTOPLUG_SELECT_TRY */;
}

// What an error message on the bus says went wrong.
QString errorText(GstMessage* message)
{
    GError* gerror = nullptr;
    gst_message_parse_error(message, &gerror, nullptr);
    const QString text =
        gerror ? QString::fromUtf8(gerror->message) : QStringLiteral("decoding failed");
    g_clear_error(&gerror);
    return text;
}

} // namespace

QString mediaFileKey(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return {};
    return QStringLiteral("%1|%2|%3")
        .arg(info.absoluteFilePath())
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch());
}

namespace {

// What a decode of one stretch keeps between the blocks GStreamer hands to
// the sink on its streaming thread.
struct RangeDecode {
    const std::function<void(const AudioBlock&)>* consume = nullptr;
    const std::atomic<bool>* cancel = nullptr;
    qint64 fromNs = 0;
    qint64 toNs = -1;
    // The format of the blocks, read again only when the caps change.
    GstCaps* caps = nullptr;
    GstAudioInfo audio{};
    bool audioKnown = false;
    std::atomic<qint64> received{0}; // samples from the sink, used or not
    std::atomic<qint64> blocks{0};   // blocks handed to consume

    ~RangeDecode() { gst_caps_replace(&caps, nullptr); }
    void take(GstSample* sample);
};

void RangeDecode::take(GstSample* sample)
{
    GstCaps* sampleCaps = gst_sample_get_caps(sample);
    if (sampleCaps != caps) {
        gst_caps_replace(&caps, sampleCaps);
        audioKnown = sampleCaps && gst_audio_info_from_caps(&audio, sampleCaps);
    }
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (!audioKnown || !buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ))
        return;
    AudioBlock block;
    block.samples = reinterpret_cast<const float*>(map.data);
    block.channels = GST_AUDIO_INFO_CHANNELS(&audio);
    block.rate = GST_AUDIO_INFO_RATE(&audio);
    block.frames = block.channels > 0 ? qint64(map.size) / (4 * block.channels) : 0;
    // A plane of one channel may start further in and hold fewer frames
    // than the memory around it.
    if (GST_AUDIO_INFO_LAYOUT(&audio) == GST_AUDIO_LAYOUT_NON_INTERLEAVED) {
        if (const GstAudioMeta* meta = gst_buffer_get_audio_meta(buffer)) {
            const gsize end = meta->offsets ? meta->offsets[0] + meta->samples * 4 : 0;
            if (!meta->offsets || end > map.size) {
                gst_buffer_unmap(buffer, &map);
                return;
            }
            block.samples = reinterpret_cast<const float*>(map.data + meta->offsets[0]);
            block.frames = qint64(meta->samples);
        }
    }
    // Where the block lies in the file: its stream time, in frames.
    const GstSegment* segment = gst_sample_get_segment(sample);
    if (segment && GST_BUFFER_PTS_IS_VALID(buffer)) {
        const guint64 streamNs =
            gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
        if (streamNs != GST_CLOCK_TIME_NONE)
            block.firstFrame = qint64(gst_util_uint64_scale_int_round(streamNs, block.rate, GST_SECOND));
    }
    if (block.rate > 0 && (fromNs > 0 || toNs >= 0)) {
        const qint64 first =
            qint64(gst_util_uint64_scale_int_round(guint64(fromNs), block.rate, GST_SECOND));
        if (block.firstFrame < first) {
            const qint64 skip = std::min(first - block.firstFrame, block.frames);
            block.samples += skip * block.channels;
            block.frames -= skip;
            block.firstFrame += skip;
        }
        if (toNs >= 0) {
            const qint64 end =
                qint64(gst_util_uint64_scale_int_round(guint64(toNs), block.rate, GST_SECOND));
            block.frames = std::max<qint64>(std::min(block.frames, end - block.firstFrame), 0);
        }
    }
    if (block.frames > 0 && block.rate > 0) {
        (*consume)(block);
        blocks.fetch_add(1, std::memory_order_relaxed);
    }
    gst_buffer_unmap(buffer, &map);
}

// The sink's callback: the block is used on the streaming thread itself, so
// no buffer waits for another thread to wake (an hour of MP3 is 140,000
// blocks). A cancelled decode stops pushing.
GstFlowReturn takeSample(GstAppSink* sink, gpointer data)
{
    auto* decode = static_cast<RangeDecode*>(data);
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample)
        return GST_FLOW_EOS;
    decode->received.fetch_add(1, std::memory_order_relaxed);
    if (decode->cancel && decode->cancel->load()) {
        gst_sample_unref(sample);
        return GST_FLOW_FLUSHING;
    }
    decode->take(sample);
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

// Decodes fromNs..toNs (toNs -1: to the end) of the file. Blocks are trimmed
// to whole frames of that stretch, whatever the decoder hands out around it.
bool decodeRange(const QString& path, qint64 fromNs, qint64 toNs,
                 const std::function<void(const AudioBlock&)>& consume, QString* error,
                 const std::atomic<bool>* cancel)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return fail(QStringLiteral("cannot read the file %1").arg(path));
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);

    GError* parseError = nullptr;
    GstElement* pipeline = gst_parse_launch(
        "uridecodebin name=source caps=audio/x-raw ! audioconvert ! appsink name=sink sync=false",
        &parseError);
    if (!pipeline) {
        const QString why = parseError ? QString::fromUtf8(parseError->message) : QString();
        g_clear_error(&parseError);
        return fail(QStringLiteral("cannot build a decoder: %1").arg(why));
    }
    g_clear_error(&parseError);
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "source");
    g_object_set(source, "uri", QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded().constData(),
                 nullptr);
    g_signal_connect(source, "autoplug-select", G_CALLBACK(skipSlowDecoders), nullptr);
    gst_object_unref(source);
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    // Interleaved floats; one channel may stay in its own plane, which is the
    // same memory, so the converter leaves a floating-point decoder's mono
    // output as it is instead of copying every frame.
    GstCaps* sinkCaps = gst_caps_from_string(
        "audio/x-raw,format=F32LE,layout=interleaved; "
        "audio/x-raw,format=F32LE,layout=non-interleaved,channels=1");
    gst_app_sink_set_caps(GST_APP_SINK(sink), sinkCaps);
    gst_caps_unref(sinkCaps);
    RangeDecode decode;
    decode.consume = &consume;
    decode.cancel = cancel;
    decode.fromNs = fromNs;
    decode.toNs = toNs;
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = takeSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, &decode, nullptr);

    bool ok = true;
    QString why;
    GstBus* bus = gst_element_get_bus(pipeline);
    if (fromNs > 0 || toNs >= 0) {
        // A part: prerolled first, then an accurate seek to its stretch.
        if (gst_element_set_state(pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE ||
            gst_element_get_state(pipeline, nullptr, nullptr, kStallTimeout) !=
                GST_STATE_CHANGE_SUCCESS ||
            !gst_element_seek(pipeline, 1.0, GST_FORMAT_TIME,
                              GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                              GST_SEEK_TYPE_SET, fromNs,
                              toNs >= 0 ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE,
                              toNs >= 0 ? toNs : gint64(GST_CLOCK_TIME_NONE))) {
            ok = false;
            why = QStringLiteral("the file cannot be decoded from %1 ms").arg(fromNs / GST_MSECOND);
        }
    }
    if (ok && gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        ok = false;
        why = QStringLiteral("the file cannot be decoded");
    }
    // The blocks go to consume on the streaming thread; this one waits for
    // the end, an error, a cancel or a decoder that stopped delivering.
    GstClockTime stalledNs = 0;
    qint64 receivedSeen = 0;
    while (ok) {
        if (cancel && cancel->load()) {
            ok = false;
            why = QStringLiteral("cancelled");
            break;
        }
        GstMessage* message = gst_bus_timed_pop_filtered(
            bus, kPollNs, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (message) {
            const bool failed = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR;
            if (failed) {
                ok = false;
                why = errorText(message);
            }
            gst_message_unref(message);
            break;
        }
        const qint64 receivedNow = decode.received.load(std::memory_order_relaxed);
        stalledNs = receivedNow == receivedSeen ? stalledNs + kPollNs : 0;
        receivedSeen = receivedNow;
        if (stalledNs >= kStallTimeout) {
            ok = false;
            why = QStringLiteral("the decoder stopped");
        }
    }
    // An error on the bus says why the stream ended early or never began.
    if (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        ok = false;
        why = errorText(message);
        gst_message_unref(message);
    }
    // Stopping the pipeline ends the streaming thread, and with it any use
    // of decode and consume.
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(bus);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    if (ok && decode.blocks.load() == 0) {
        ok = false;
        why = QStringLiteral("%1 holds no sound").arg(path);
    }
    if (!ok)
        return fail(why);
    return true;
}

// The duration the decoder states for the file; -1 when it cannot tell.
qint64 statedDurationNs(const QString& path)
{
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    GstElement* pipeline = gst_parse_launch(
        "uridecodebin name=source caps=audio/x-raw ! fakesink name=sink sync=false", nullptr);
    if (!pipeline)
        return -1;
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "source");
    g_object_set(source, "uri",
                 QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded().constData(),
                 nullptr);
    gst_object_unref(source);
    gint64 duration = -1;
    if (gst_element_set_state(pipeline, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE &&
        gst_element_get_state(pipeline, nullptr, nullptr, kStallTimeout) ==
            GST_STATE_CHANGE_SUCCESS &&
        !gst_element_query_duration(pipeline, GST_FORMAT_TIME, &duration))
        duration = -1;
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return duration;
}

} // namespace

bool decodeAudio(const QString& path, const std::function<void(const AudioBlock&)>& consume,
                 QString* error, const std::atomic<bool>* cancel)
{
    return decodeRange(path, 0, -1, consume, error, cancel);
}

bool decodeAudioInParts(const QString& path, int parts,
                        const std::function<void(int part, const AudioBlock&)>& consume,
                        QString* error, const std::atomic<bool>* cancel)
{
    const qint64 durationNs = parts > 1 ? statedDurationNs(path) : -1;
    // Splitting costs a preroll and a seek per part: worth it from a minute on.
    if (parts <= 1 || durationNs < qint64(kMinSplitNs))
        return decodeRange(
            path, 0, -1, [&](const AudioBlock& block) { consume(0, block); }, error, cancel);

    std::vector<QString> errors(static_cast<size_t>(parts));
    std::vector<char> done(static_cast<size_t>(parts), 0);
    std::vector<std::thread> threads;
    for (int p = 0; p < parts; ++p) {
        // Cut on whole milliseconds; the last part runs to the end, past a
        // duration that was only estimated.
        const qint64 from = durationNs * p / parts / GST_MSECOND * GST_MSECOND;
        const qint64 to =
            p + 1 < parts ? durationNs * (p + 1) / parts / GST_MSECOND * GST_MSECOND : -1;
        threads.emplace_back([&, p, from, to] {
            done[size_t(p)] = decodeRange(
                path, from, to, [&](const AudioBlock& block) { consume(p, block); },
                &errors[size_t(p)], cancel);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int p = 0; p < parts; ++p) {
        if (!done[size_t(p)]) {
            if (error)
                *error = errors[size_t(p)];
            return false;
        }
    }
    return true;
}

} // namespace dictora
