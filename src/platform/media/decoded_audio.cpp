// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/decoded_audio.h"

#include <QDateTime>
#include <QFileInfo>
#include <QUrl>

#include <gst/app/gstappsink.h>
#include <gst/audio/audio.h>
#include <gst/gst.h>

namespace dictora {

namespace {

// A decode that delivers nothing for this long has hung.
constexpr GstClockTime kStallTimeout = 20 * GST_SECOND;

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

bool decodeAudio(const QString& path, const std::function<void(const AudioBlock&)>& consume,
                 QString* error, const std::atomic<bool>* cancel)
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
        "uridecodebin name=source caps=audio/x-raw ! audioconvert ! "
        "audio/x-raw,format=F32LE,layout=interleaved ! appsink name=sink sync=false "
        "max-buffers=64",
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
    gst_object_unref(source);
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");

    bool ok = true;
    QString why;
    qint64 blocks = 0;
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        ok = false;
        why = QStringLiteral("the file cannot be decoded");
    }
    while (ok) {
        if (cancel && cancel->load()) {
            ok = false;
            why = QStringLiteral("cancelled");
            break;
        }
        GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), kStallTimeout);
        if (!sample) {
            if (!gst_app_sink_is_eos(GST_APP_SINK(sink))) {
                ok = false;
                why = QStringLiteral("the decoder stopped");
            }
            break;
        }
        GstAudioInfo audio;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        GstMapInfo map;
        if (buffer && gst_audio_info_from_caps(&audio, gst_sample_get_caps(sample)) &&
            gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            AudioBlock block;
            block.samples = reinterpret_cast<const float*>(map.data);
            block.channels = GST_AUDIO_INFO_CHANNELS(&audio);
            block.rate = GST_AUDIO_INFO_RATE(&audio);
            block.frames = block.channels > 0 ? qint64(map.size) / (4 * block.channels) : 0;
            if (block.frames > 0 && block.rate > 0) {
                consume(block);
                ++blocks;
            }
            gst_buffer_unmap(buffer, &map);
        }
        gst_sample_unref(sample);
    }
    // An error on the bus says why the stream ended early or never began.
    GstBus* bus = gst_element_get_bus(pipeline);
    if (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        GError* gerror = nullptr;
        gst_message_parse_error(message, &gerror, nullptr);
        ok = false;
        why = gerror ? QString::fromUtf8(gerror->message) : QStringLiteral("decoding failed");
        g_clear_error(&gerror);
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    if (ok && blocks == 0) {
        ok = false;
        why = QStringLiteral("%1 holds no sound").arg(path);
    }
    if (!ok)
        return fail(why);
    return true;
}

} // namespace dictora
