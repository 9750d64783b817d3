// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a film's subtitles, with figures printed:
//  - every cue of a SubRip track in a two-hour MKV whose video runs at two
//    bit rates twelve times apart (the reading should not follow the rate);
//  - OCR of 1,000 PGS pictures of 1080p English subtitles on one core, and
//    of 1,000 VobSub pictures at 720x576 and at 1920x1080, with the share of
//    characters read right (edit distance to the true text).
#include "core/import/dvd_subpicture.h"
#include "core/import/pgs_picture.h"
#include "core/import/track_cues.h"
#include "platform/media/subtitle_ocr.h"
#include "platform/media/subtitle_track_reader.h"
#include "support/subtitle_films.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gst/gst.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <functional>
#include <tuple>
#include <vector>

using namespace dictora;
using namespace dictora::test;

namespace {

constexpr uint32_t kFilmMs = 2 * 3600 * 1000;

// A two-hour film: raw I420 video of the given size at 25 frames a second
// and one SubRip track of a cue every 4.5 s.
bool writeLongFilm(const QString& path, int width, int height)
{
    const QString description =
        QStringLiteral("videotestsrc pattern=black num-buffers=%1 ! "
                       "video/x-raw,format=I420,width=%2,height=%3,framerate=25/1 ! queue ! "
                       "mux.video_0 matroskamux name=mux ! filesink location=\"%4\" "
                       "appsrc name=s0 format=time caps=\"text/x-raw,format=utf8\" ! queue ! "
                       "mux.subtitle_0")
            .arg(kFilmMs / 40)
            .arg(width)
            .arg(height)
            .arg(path);
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (!pipeline) {
        std::fprintf(stderr, "%s\n", error ? error->message : "no pipeline");
        return false;
    }
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "s0");
    for (uint32_t at = 1000; at + 3000 < kFilmMs; at += 4500) {
        const QByteArray text =
            QStringLiteral("Cue at %1 ms, a line of some length.").arg(at).toUtf8();
        GstBuffer* buffer = gst_buffer_new_memdup(text.constData(), gsize(text.size()));
        GST_BUFFER_PTS(buffer) = at * GST_MSECOND;
        GST_BUFFER_DURATION(buffer) = 3000 * GST_MSECOND;
        GstFlowReturn flow = GST_FLOW_OK;
        g_signal_emit_by_name(source, "push-buffer", buffer, &flow);
        gst_buffer_unref(buffer);
    }
    GstFlowReturn flow = GST_FLOW_OK;
    g_signal_emit_by_name(source, "end-of-stream", &flow);
    gst_object_unref(source);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, GST_CLOCK_TIME_NONE, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

void benchCueReading(const QTemporaryDir& dir)
{
    for (const auto& [width, height] : {std::pair{16, 16}, std::pair{64, 48}}) {
        const QString path = dir.filePath(QStringLiteral("film-%1x%2.mkv").arg(width).arg(height));
        if (!writeLongFilm(path, width, height)) {
            std::printf("could not write %s\n", qPrintable(path));
            continue;
        }
        const double megabytes = QFileInfo(path).size() / 1e6;
        QElapsedTimer clock;
        clock.start();
        const SubtitleTrackList list = listSubtitleTracks(path);
        const DemuxedTrack track = readSubtitleTrack(path, 0);
        std::vector<SubtitleCue> cues;
        for (const DemuxedCue& block : track.cues)
            cues.push_back({block.startMs, block.endMs, QString::fromUtf8(block.data)});
        const ParsedRows rows = rowsFromCues(cues, track.track.codec, SentenceRow{});
        const qint64 ms = clock.elapsed();
        std::printf("2 h MKV, video %dx%d I420 at 25 fps (%.1f Mbit/s, %.0f MB): %zu tracks, %zu "
                    "rows in %lld ms\n",
                    width, height, megabytes * 8 / 7200, megabytes, list.tracks.size(),
                    rows.rows.size(), static_cast<long long>(ms));
        QFile::remove(path);
    }
}

int editDistance(const QString& a, const QString& b)
{
    std::vector<int> row(size_t(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int up = row[size_t(j)];
            row[size_t(j)] = std::min(
                {up + 1, row[size_t(j) - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row.back();
}

// OCR of `count` pictures of random lines, drawn by `picture`, in English
// or (`chinese`) Simplified Chinese.
void benchOcr(const char* what, int count,
              const std::function<InkPicture(const QStringList&)>& picture, bool chinese = false)
{
    // Words that plain OCR of 1080p pictures confuses (I/l, c/e, rn/m).
    const QStringList english{"I",     "like",   "little", "call",   "cell", "Illinois", "clear",
                              "even",  "modern", "corner", "coffee", "tea",  "eleven",   "lilies",
                              "ice",   "face",   "will",   "kill",   "fill", "Hello",    "world",
                              "river", "hill",   "learn",  "we",     "can",  "never",    "leave",
                              "the",   "old",    "mill",   "tonight"};
    // Glyphs with few strokes and gaps inside (二, 川, 小) beside dense ones.
    const QStringList han{"我",   "喜欢", "喝茶", "今天", "天气", "很好", "我们", "去",
                          "公园", "这个", "问题", "很难", "回答", "吃饭", "明白", "学习",
                          "中文", "朋友", "老师", "电影", "晚上", "二月", "小川", "一个人"};
    const QStringList& words = chinese ? han : english;
    const QString blank = chinese ? QString() : QStringLiteral(" ");
    QRandomGenerator random(30);
    std::vector<QStringList> truth;
    std::vector<InkPicture> pictures;
    for (int i = 0; i < count; ++i) {
        QStringList lines;
        const int lineCount = 1 + int(random.bounded(2));
        for (int l = 0; l < lineCount; ++l) {
            QStringList line;
            const int count = 3 + int(random.bounded(5));
            for (int w = 0; w < count; ++w)
                line << words[random.bounded(words.size())];
            lines << line.join(blank) + (chinese ? (l + 1 == lineCount ? "。" : "，")
                                                 : (l + 1 == lineCount ? "." : ","));
        }
        truth.push_back(lines);
        pictures.push_back(picture(lines));
    }
    SubtitleOcr ocr;
    QString message;
    if (!ocr.open(chinese ? QStringLiteral("chi_sim") : QStringLiteral("eng"), message)) {
        std::printf("%s\n", qPrintable(message));
        return;
    }
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpuStart = std::clock();
    qint64 characters = 0, wrong = 0;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const QString read = ocr.read(pictures[i]);
        const QString expected = truth[i].join('\n');
        characters += expected.size();
        wrong += editDistance(read, expected);
    }
    const qint64 ms = clock.elapsed();
    const double cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::printf("OCR of %zu %s pictures (%s, one core): %lld ms (%.0f ms of CPU), "
                "%.2f %% of %lld characters right\n",
                pictures.size(), what, chinese ? "Chinese" : "English", static_cast<long long>(ms),
                cpuMs, 100.0 * double(characters - wrong) / double(characters),
                static_cast<long long>(characters));
}

} // namespace

int main(int argc, char** argv)
{
    // The figure is stated for one core: run as "taskset -c 0 bench_film".
    // The reader keeps Tesseract to one thread itself.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    gst_init(&argc, &argv);
    QTemporaryDir dir;
    // --cues, --ocr (PGS) or --vobsub runs only that part.
    const QByteArray only = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (only.isEmpty() || only == "--cues")
        benchCueReading(dir);
    // "--ocr N" or "--vobsub N" reads N pictures instead of 1,000.
    const int count = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    if (only.isEmpty() || only == "--ocr")
        for (const bool chinese : {false, true})
            benchOcr(
                "1080p PGS", chinese ? std::max(1, count / 5) : count,
                [](const QStringList& lines) { return decodePgsDisplaySet(pgsDisplaySet(lines)); },
                chinese);
    if (only.isEmpty() || only == "--vobsub") {
        // VobSub at DVD size and glyphs, and as some 1080p tracks come.
        for (const auto& [width, height, pixelSize] :
             {std::tuple{720, 576, 26}, std::tuple{1920, 1080, 48}}) {
            const VobSubIndex index = parseVobSubIndex(vobSubIndexText(width, height));
            const QByteArray what =
                QStringLiteral("%1x%2 VobSub").arg(width).arg(height).toLatin1();
            benchOcr(what.constData(), count, [&](const QStringList& lines) {
                return decodeDvdSubpicture(dvdSubpicture(lines, width, height, pixelSize), index)
                    .picture;
            });
        }
    }
    return 0;
}
