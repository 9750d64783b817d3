// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/subtitle_track_reader.h"

#include "core/import/dvd_subpicture.h"
#include "core/import/matroska_tracks.h"
#include "core/import/media_signature.h"

#include <QFile>
#include <QFileInfo>

#include <gst/gst.h>

#include <array>
#include <atomic>
#include <mutex>

namespace dictora {

namespace {

// A file's own demuxer, no more: filesrc ! matroskademux or qtdemux.
struct DemuxPipeline {
    GstElement* pipeline = nullptr;
    GstElement* demux = nullptr;
    bool fromMp4 = false;

    ~DemuxPipeline()
    {
        if (pipeline) {
            gst_element_set_state(pipeline, GST_STATE_NULL);
            gst_object_unref(pipeline);
        }
    }
};

QString notAFilm(const QString& path)
{
    return QStringLiteral("%1 不是 MKV 或 MP4 视频, 读不出字幕轨道.")
        .arg(QFileInfo(path).fileName());
}

QString damaged(const QString& path)
{
    return QStringLiteral("视频 %1 已损坏, 读不出字幕轨道.").arg(QFileInfo(path).fileName());
}

// Builds the pipeline for a file whose first bytes name a known container;
// false with the learner's message otherwise.
bool makeDemuxPipeline(const QString& path, DemuxPipeline& made, QString& message)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        message = QStringLiteral("读不了视频 %1.").arg(QFileInfo(path).fileName());
        return false;
    }
    const MediaContainer container = containerOf(file.read(kMediaSignatureBytes));
    file.close();
    if (container == MediaContainer::Other) {
        message = notAFilm(path);
        return false;
    }
    made.fromMp4 = container == MediaContainer::Mp4;
    made.pipeline = gst_pipeline_new(nullptr);
    GstElement* source = gst_element_factory_make("filesrc", nullptr);
    made.demux = gst_element_factory_make(made.fromMp4 ? "qtdemux" : "matroskademux", nullptr);
    if (!made.pipeline || !source || !made.demux) {
        for (GstElement* element : {source, made.demux}) {
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        }
        message = QStringLiteral("GStreamer 缺少读取视频的插件 (gstreamer1.0-plugins-good).");
        return false;
    }
    g_object_set(source, "location", QFile::encodeName(path).constData(), nullptr);
    gst_bin_add_many(GST_BIN(made.pipeline), source, made.demux, nullptr);
    gst_element_link(source, made.demux);
    return true;
}

QString tagString(const GstTagList* tags, const char* tag)
{
    gchar* value = nullptr;
    if (!tags || !gst_tag_list_get_string(tags, tag, &value))
        return {};
    QString text = QString::fromUtf8(value);
    g_free(value);
    return text;
}

// What the demuxer said of one subtitle pad once it had added them all.
struct PadFacts {
    QString streamId;
    QString mediaType;
    QString language;
    QString title;
    bool isDefault = false;
};

// Language and title from the stream's tags or the pad's sticky tag event.
void readTags(const GstTagList* tags, PadFacts& facts)
{
    if (facts.language.isEmpty())
        facts.language = tagString(tags, GST_TAG_LANGUAGE_CODE);
    if (facts.title.isEmpty())
        facts.title = tagString(tags, GST_TAG_TITLE);
}

bool isSubtitleType(const QString& mediaType)
{
    return mediaType.startsWith(QLatin1String("text/")) ||
           mediaType.startsWith(QLatin1String("subpicture/")) ||
           mediaType.startsWith(QLatin1String("application/x-ass")) ||
           mediaType.startsWith(QLatin1String("application/x-ssa")) ||
           mediaType.startsWith(QLatin1String("application/x-subtitle"));
}

PadFacts padFacts(GstPad* pad, bool& subtitle)
{
    PadFacts facts;
    GstStream* stream = gst_pad_get_stream(pad);
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps && stream)
        caps = gst_stream_get_caps(stream);
    if (caps && !gst_caps_is_empty(caps))
        facts.mediaType =
            QString::fromUtf8(gst_structure_get_name(gst_caps_get_structure(caps, 0)));
    if (caps)
        gst_caps_unref(caps);
    subtitle = (stream && (gst_stream_get_stream_type(stream) & GST_STREAM_TYPE_TEXT)) ||
               isSubtitleType(facts.mediaType);
    if (stream) {
        if (GstTagList* tags = gst_stream_get_tags(stream)) {
            readTags(tags, facts);
            gst_tag_list_unref(tags);
        }
        facts.isDefault = (gst_stream_get_stream_flags(stream) & GST_STREAM_FLAG_SELECT) != 0;
        gst_object_unref(stream);
    }
    // A demuxer used alone gives its pads no stream object; the default flag
    // comes with the pad's stream-start event.
    if (GstEvent* start = gst_pad_get_sticky_event(pad, GST_EVENT_STREAM_START, 0)) {
        GstStreamFlags flags = GST_STREAM_FLAG_NONE;
        gst_event_parse_stream_flags(start, &flags);
        facts.isDefault = facts.isDefault || (flags & GST_STREAM_FLAG_SELECT) != 0;
        gst_event_unref(start);
    }
    for (guint i = 0;; ++i) {
        GstEvent* event = gst_pad_get_sticky_event(pad, GST_EVENT_TAG, i);
        if (!event)
            break;
        GstTagList* tags = nullptr;
        gst_event_parse_tag(event, &tags);
        readTags(tags, facts);
        gst_event_unref(event);
    }
    if (gchar* id = gst_pad_get_stream_id(pad)) {
        facts.streamId = QString::fromUtf8(id);
        g_free(id);
    }
    return facts;
}

// The subtitle pads of the demuxer, as they are now.
std::vector<PadFacts> subtitlePads(GstElement* demux)
{
    std::vector<PadFacts> pads;
    GstIterator* iterator = gst_element_iterate_src_pads(demux);
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(iterator, &item) == GST_ITERATOR_OK) {
        bool subtitle = false;
        PadFacts facts = padFacts(GST_PAD(g_value_get_object(&item)), subtitle);
        if (subtitle)
            pads.push_back(std::move(facts));
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(iterator);
    return pads;
}

// Runs the demuxer with no pad linked: it reads the header, adds a pad for
// every stream with its caps and tags, and stops at the first block it
// cannot hand on (or at the end of a file without blocks). Nothing is parsed
// or decoded. The pads tell the streams.
bool readStreams(DemuxPipeline& made, SubtitleTrackList& list)
{
    std::atomic<bool> allPads{false};
    g_signal_connect(made.demux, "no-more-pads", G_CALLBACK(+[](GstElement*, gpointer flag) {
                         static_cast<std::atomic<bool>*>(flag)->store(true);
                     }),
                     &allPads);
    gst_element_set_state(made.pipeline, GST_STATE_PAUSED);
    GstBus* bus = gst_element_get_bus(made.pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 30 * GST_SECOND, GstMessageType(GST_MESSAGE_ERROR | GST_MESSAGE_EOS));
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    const bool found = message && allPads.load();
    std::vector<PadFacts> pads;
    if (found)
        pads = subtitlePads(made.demux);
    gst_element_set_state(made.pipeline, GST_STATE_NULL);
    if (!found)
        return false;
    for (const PadFacts& facts : pads) {
        SubtitleTrack track;
        track.index = int(list.tracks.size());
        track.streamId = facts.streamId;
        track.codec = codecOfCaps(facts.mediaType, made.fromMp4);
        track.language = facts.language;
        track.title = facts.title;
        track.isDefault = facts.isDefault;
        list.tracks.push_back(std::move(track));
    }
    return true;
}

// The forced flags from the Matroska file's Tracks element, each matched to
// its stream by the track number in the stream id. Tracks the element does
// not name keep their flag unknown.
void readForcedFlags(const QString& path, std::vector<SubtitleTrack>& tracks)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const std::vector<MatroskaTrackFlags> entries =
        readMatroskaTrackFlags(file.read(kMatroskaHeadBytes));
    for (SubtitleTrack& track : tracks) {
        const uint64_t number = matroskaTrackNumberOfStream(track.streamId);
        for (const MatroskaTrackFlags& entry : entries) {
            if (number != 0 && entry.number == number && entry.type == kMatroskaSubtitleTrack) {
                track.forced = entry.forced;
                track.forcedKnown = true;
            }
        }
    }
}

struct Collecting {
    QString streamId;
    GstElement* pipeline = nullptr;
    GstElement* sink = nullptr;
    std::mutex lock;
    std::vector<DemuxedCue> cues;
    QByteArray codecData;
};

GstPadProbeReturn takeBlock(GstPad*, GstPadProbeInfo* info, gpointer data)
{
    auto* collecting = static_cast<Collecting*>(data);
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (!buffer || !GST_BUFFER_PTS_IS_VALID(buffer))
        return GST_PAD_PROBE_OK;
    DemuxedCue cue;
    cue.startMs = uint32_t((GST_BUFFER_PTS(buffer) + GST_MSECOND / 2) / GST_MSECOND);
    if (GST_BUFFER_DURATION_IS_VALID(buffer) && GST_BUFFER_DURATION(buffer) > 0)
        cue.endMs = uint32_t(
            (GST_BUFFER_PTS(buffer) + GST_BUFFER_DURATION(buffer) + GST_MSECOND / 2) / GST_MSECOND);
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        cue.data = QByteArray(reinterpret_cast<const char*>(map.data), qsizetype(map.size));
        gst_buffer_unmap(buffer, &map);
    }
    std::lock_guard<std::mutex> hold(collecting->lock);
    collecting->cues.push_back(std::move(cue));
    return GST_PAD_PROBE_OK;
}

// qtdemux gives a VobSub track's palette not as codec_data but in an event
// of sixteen Y'CrCb colours before the first block; it becomes the palette
// line of an index text, as Matroska stores it.
GstPadProbeReturn takePalette(GstPad*, GstPadProbeInfo* info, gpointer data)
{
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    const GstStructure* fields = event ? gst_event_get_structure(event) : nullptr;
    if (!fields || GST_EVENT_TYPE(event) != GST_EVENT_CUSTOM_DOWNSTREAM ||
        !gst_structure_has_name(fields, "application/x-gst-dvd") ||
        g_strcmp0(gst_structure_get_string(fields, "event"), "dvd-spu-clut-change") != 0)
        return GST_PAD_PROBE_OK;
    std::array<uint32_t, 16> clut{};
    for (size_t i = 0; i < clut.size(); ++i) {
        gint entry = 0;
        if (!gst_structure_get_int(
                fields,
                QStringLiteral("clut%1").arg(i, 2, 10, QLatin1Char('0')).toLatin1().constData(),
                &entry))
            return GST_PAD_PROBE_OK;
        clut[i] = uint32_t(entry);
    }
    auto* collecting = static_cast<Collecting*>(data);
    std::lock_guard<std::mutex> hold(collecting->lock);
    if (collecting->codecData.isEmpty())
        collecting->codecData = vobSubPaletteLine(clut);
    return GST_PAD_PROBE_OK;
}

void linkWanted(GstElement*, GstPad* pad, gpointer data)
{
    auto* collecting = static_cast<Collecting*>(data);
    gchar* id = gst_pad_get_stream_id(pad);
    const bool wanted = id && collecting->streamId == QString::fromUtf8(id);
    g_free(id);
    if (!wanted)
        return; // left unlinked: nothing downstream parses or decodes it
    if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
        const GValue* value =
            gst_structure_get_value(gst_caps_get_structure(caps, 0), "codec_data");
        if (value && G_VALUE_HOLDS(value, GST_TYPE_BUFFER)) {
            GstBuffer* data = gst_value_get_buffer(value);
            GstMapInfo map;
            if (gst_buffer_map(data, &map, GST_MAP_READ)) {
                std::lock_guard<std::mutex> hold(collecting->lock);
                collecting->codecData =
                    QByteArray(reinterpret_cast<const char*>(map.data), qsizetype(map.size));
                gst_buffer_unmap(data, &map);
            }
        }
        gst_caps_unref(caps);
    }
    GstPad* sinkPad = gst_element_get_static_pad(collecting->sink, "sink");
    if (!gst_pad_is_linked(sinkPad)) {
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, takeBlock, collecting, nullptr);
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, takePalette, collecting,
                          nullptr);
        gst_pad_link(pad, sinkPad);
    }
    gst_object_unref(sinkPad);
}

} // namespace

SubtitleTrackList listSubtitleTracks(const QString& path)
{
    SubtitleTrackList list;
    DemuxPipeline made;
    if (!makeDemuxPipeline(path, made, list.message))
        return list;
    if (!readStreams(made, list)) {
        list.message = damaged(path);
        return list;
    }
    if (!made.fromMp4)
        readForcedFlags(path, list.tracks);
    list.ok = true;
    return list;
}

DemuxedTrack readSubtitleTrack(const QString& path, int index)
{
    DemuxedTrack read;
    const SubtitleTrackList list = listSubtitleTracks(path);
    if (!list.ok) {
        read.message = list.message;
        return read;
    }
    if (index < 0 || size_t(index) >= list.tracks.size()) {
        read.message =
            list.tracks.empty()
                ? QStringLiteral("视频 %1 中没有字幕轨道.").arg(QFileInfo(path).fileName())
                : QStringLiteral("视频 %1 没有第 %2 条字幕轨道 (共 %3 条, 从 0 数起).")
                      .arg(QFileInfo(path).fileName())
                      .arg(index)
                      .arg(list.tracks.size());
        return read;
    }
    read.track = list.tracks[size_t(index)];

    DemuxPipeline made;
    if (!makeDemuxPipeline(path, made, read.message))
        return read;
    Collecting collecting;
    collecting.streamId = read.track.streamId;
    collecting.pipeline = made.pipeline;
    collecting.sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(collecting.sink, "sync", FALSE, "async", FALSE, nullptr);
    gst_bin_add(GST_BIN(made.pipeline), collecting.sink);
    g_signal_connect(made.demux, "pad-added", G_CALLBACK(linkWanted), &collecting);

    gst_element_set_state(made.pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(made.pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, GST_CLOCK_TIME_NONE, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool finished = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(made.pipeline, GST_STATE_NULL);
    if (!finished) {
        read.message = damaged(path);
        return read;
    }
    read.cues = std::move(collecting.cues);
    read.codecData = std::move(collecting.codecData);
    read.ok = true;
    return read;
}

} // namespace dictora
