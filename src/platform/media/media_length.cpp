// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/media_length.h"

#include "platform/media/mp3_frame_scan.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <gst/gst.h>

#include <atomic>

namespace dictora {

namespace {

QString fileKey(const QString& path)
{
    const QFileInfo info(path);
    return info.absoluteFilePath() + QLatin1Char('\n') + QString::number(info.size()) +
           QLatin1Char('\n') + QString::number(info.lastModified().toMSecsSinceEpoch());
}

std::optional<Mp3FrameScan> scanMp3File(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 8)
        return std::nullopt;
    uchar* mapped = file.map(0, file.size());
    if (!mapped)
        return std::nullopt;
    const auto scan =
        scanMp3Frames(QByteArrayView(reinterpret_cast<const char*>(mapped), file.size()));
    file.unmap(mapped);
    return scan;
}

GstPadProbeReturn noteEnd(GstPad*, GstPadProbeInfo* info, gpointer endNs)
{
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (buffer && GST_BUFFER_PTS_IS_VALID(buffer)) {
        qint64 end = qint64(GST_BUFFER_PTS(buffer));
        if (GST_BUFFER_DURATION_IS_VALID(buffer))
            end += qint64(GST_BUFFER_DURATION(buffer));
        auto* latest = static_cast<std::atomic<qint64>*>(endNs);
        if (end > latest->load())
            latest->store(end);
    }
    return GST_PAD_PROBE_OK;
}

} // namespace

qint64 MediaLengthCache::lengthNs(const QString& path, qint64 reportedNs)
{
    const QString key = fileKey(path);
    {
        QMutexLocker lock(&mutex_);
        const auto found = known_.constFind(key);
        if (found != known_.constEnd())
            return found.value();
    }

    qint64 length = reportedNs;
    // GStreamer trusts a Xing/Info/VBRI header, and then plays and times the
    // file exactly; without one it estimates the length from the bitrate.
    if (const auto mp3 = scanMp3File(path); mp3 && !mp3->statesLength && mp3->frames > 0)
        length = mp3->lengthNs();
    else if (length <= 0)
        length = scanDecodedLengthNs(path);
    QMutexLocker lock(&mutex_);
    known_.insert(key, length);
    return length;
}

qint64 scanDecodedLengthNs(const QString& path)
{
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* decode = gst_element_factory_make("uridecodebin", nullptr);
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (!pipeline || !decode || !sink) {
        for (GstElement* element : {pipeline, decode, sink}) {
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        }
        return -1;
    }
    GstCaps* audio = gst_caps_from_string("audio/x-raw");
    g_object_set(decode, "uri", QUrl::fromLocalFile(path).toEncoded().constData(), "caps", audio,
                 nullptr);
    gst_caps_unref(audio);
    g_object_set(sink, "sync", FALSE, nullptr);
    gst_bin_add_many(GST_BIN(pipeline), decode, sink, nullptr);
    g_signal_connect(decode, "pad-added", G_CALLBACK(+[](GstElement*, GstPad* pad, gpointer sink) {
                         GstPad* sinkPad = gst_element_get_static_pad(GST_ELEMENT(sink), "sink");
                         if (!gst_pad_is_linked(sinkPad))
                             gst_pad_link(pad, sinkPad);
                         gst_object_unref(sinkPad);
                     }),
                     sink);
    std::atomic<qint64> endNs{-1};
    GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
    gst_pad_add_probe(sinkPad, GST_PAD_PROBE_TYPE_BUFFER, noteEnd, &endNs, nullptr);
    gst_object_unref(sinkPad);

    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 120 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool finished = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return finished ? endNs.load() : -1;
}

} // namespace dictora
