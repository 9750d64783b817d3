// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the figures of slow replay, levelling and the waveform strip:
//  - spans at 1.0x through the command layer: first sample against From and
//    the samples delivered against To - From (unchanged by scaletempo);
//  - spans at 0.75x: the heard length against (To - From) / 0.75;
//  - the pitch of a 440 Hz tone played at 0.75x and 0.5x;
//  - the waveform peaks of an hour-long MP3, decoded and from the cache;
//  - the loudness of the same hour, as MP3 and as WAV.
// The hour is made once (pink noise, lame -b 64 mono); DICTORA_BENCH_HOUR_MP3
// and DICTORA_BENCH_HOUR_WAV may name ready files instead. Wall and CPU
// times are both printed: on a shared machine the wall time also holds
// other programs' turns.
#include "core/media/media_commands.h"
#include "platform/media/audio_delivery_meter.h"
#include "platform/media/gst_media_commands.h"
#include "platform/media/loudness_meter.h"
#include "platform/media/waveform_peaks.h"
#include "support/media_making.h"
#include "support/media_runtime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMutex>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using namespace dictora;

constexpr int kRate = 44100;
constexpr int kSpans = 20;

void runEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Timing {
    double wallMs;
    double cpuMs;
};

template <typename F> Timing timed(F&& work)
{
    QElapsedTimer wall;
    const double cpu = cpuSeconds();
    wall.start();
    work();
    return {wall.nsecsElapsed() / 1e6, (cpuSeconds() - cpu) * 1e3};
}

bool waitStopped(GstMediaCommands& commands)
{
    QElapsedTimer waited;
    waited.start();
    while (commands.send(QStringLiteral("Status MYSHOW Mode")) == QLatin1String("playing")) {
        if (waited.elapsed() > 30000)
            return false;
        runEvents(5);
    }
    return true;
}

void spanFigures(const QString& wav)
{
    AudioDeliveryMeter meter;
    GstMediaCommands::Options options;
    options.makeAudioSink = [&meter] { return meter.makeFakeSink(false); };
    GstMediaCommands commands(options);
    commands.send(QStringLiteral("Open ") + quotedPath(wav) + QStringLiteral(" Type MPEGVideo Alias MYSHOW"));
    QRandomGenerator random(19);
    for (const int speed : {1000, 750}) {
        commands.send(QStringLiteral("Set MYSHOW Speed %1").arg(speed));
        std::vector<double> startErr;
        std::vector<double> lengthErr;
        for (int i = 0; i < kSpans; ++i) {
            const int from = random.bounded(0, 25000);
            const int to = from + random.bounded(300, 4000);
            meter.reset();
            commands.send(QStringLiteral("Play MYSHOW From %1 To %2").arg(from).arg(to));
            if (!waitStopped(commands)) {
                std::printf("span did not end\n");
                return;
            }
            const auto d = meter.delivery();
            startErr.push_back(std::abs(double(d.firstSampleNs - qint64(from) * GST_MSECOND)) *
                               kRate / 1e9);
            const double expected = (to - from) / (speed / 1000.0) * kRate / 1000.0;
            lengthErr.push_back(std::abs(double(d.samples) - expected));
        }
        std::sort(startErr.begin(), startErr.end());
        std::sort(lengthErr.begin(), lengthErr.end());
        std::printf("speed %.2fx  %d spans  start err median %.1f worst %.1f samples   "
                    "length err median %.1f worst %.1f samples (%.3f ms)\n",
                    speed / 1000.0, kSpans, startErr[kSpans / 2], startErr.back(),
                    lengthErr[kSpans / 2], lengthErr.back(), lengthErr.back() * 1000.0 / kRate);
    }
}

// The tone's frequency from its rising zero crossings, over the middle of
// what the sink received (the ends hold scaletempo's first and last window).
double measuredFrequency(const std::vector<float>& samples, int rate)
{
    const size_t from = samples.size() / 4;
    const size_t to = samples.size() * 3 / 4;
    double first = -1;
    double last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            const double at = double(i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]);
            if (first < 0)
                first = at;
            else
                ++crossings;
            last = at;
        }
    }
    return crossings > 0 ? crossings * double(rate) / (last - first) : 0.0;
}

void pitchFigures(const QString& tone)
{
    QMutex mutex;
    std::vector<float> heard;
    GstMediaCommands::Options options;
    options.makeAudioSink = [&] {
        GstElement* sink = gst_element_factory_make("appsink", nullptr);
        GstCaps* caps = gst_caps_from_string(
            "audio/x-raw,format=F32LE,channels=1,rate=44100,layout=interleaved");
        g_object_set(sink, "caps", caps, "sync", FALSE, nullptr);
        gst_caps_unref(caps);
        GstAppSinkCallbacks callbacks{};
        callbacks.new_sample = [](GstAppSink* appsink, gpointer data) {
            auto* target = static_cast<std::pair<QMutex*, std::vector<float>*>*>(data);
            GstSample* sample = gst_app_sink_pull_sample(appsink);
            GstMapInfo map;
            GstBuffer* buffer = gst_sample_get_buffer(sample);
            if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                QMutexLocker lock(target->first);
                const auto* f = reinterpret_cast<const float*>(map.data);
                target->second->insert(target->second->end(), f, f + map.size / 4);
                gst_buffer_unmap(buffer, &map);
            }
            gst_sample_unref(sample);
            return GST_FLOW_OK;
        };
        static std::pair<QMutex*, std::vector<float>*> target;
        target = {&mutex, &heard};
        gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, &target, nullptr);
        return sink;
    };
    GstMediaCommands commands(options);
    commands.send(QStringLiteral("Open ") + quotedPath(tone) + QStringLiteral(" Type MPEGVideo Alias MYSHOW"));
    for (const int speed : {1000, 750, 500}) {
        commands.send(QStringLiteral("Set MYSHOW Speed %1").arg(speed));
        {
            QMutexLocker lock(&mutex);
            heard.clear();
        }
        commands.send(QStringLiteral("Play MYSHOW From 1000 To 4000"));
        waitStopped(commands);
        runEvents(100);
        QMutexLocker lock(&mutex);
        const double f = measuredFrequency(heard, kRate);
        std::printf("440 Hz tone at %.2fx: heard %.2f Hz (%+.3f %%), %.1f ms of sound\n",
                    speed / 1000.0, f, (f / 440.0 - 1) * 100, heard.size() * 1000.0 / kRate);
    }
}

void hourFigures(const QString& mp3, const QString& wav)
{
    QTemporaryDir cacheDir;
    QString error;
    std::optional<WaveformPeaks> peaks;
    const Timing decoded = timed([&] { peaks = decodePeaks(mp3, &error); });
    if (!peaks) {
        std::printf("peaks failed: %s\n", qPrintable(error));
        return;
    }
    std::printf("peaks of 1 h MP3 decoded: %.0f ms wall, %.0f ms CPU (%lld levels)\n",
                decoded.wallMs, decoded.cpuMs, qlonglong(peaks->levels.size()));
    writeCachedPeaks(cacheDir.path(), mp3, *peaks);
    std::optional<WaveformPeaks> cached;
    const Timing fromCache = timed([&] { cached = readCachedPeaks(cacheDir.path(), mp3); });
    std::printf("peaks of 1 h MP3 from the cache: %.2f ms wall, %.2f ms CPU (%s)\n",
                fromCache.wallMs, fromCache.cpuMs,
                cached && cached->levels == peaks->levels ? "same" : "DIFFERENT");

    // For levelling (what the program measures in the background), the true
    // peak is looked for only where it could limit the gain; dictora-cli
    // loudness looks for it everywhere.
    for (const QString& file : {mp3, wav}) {
        if (file.isEmpty())
            continue;
        for (const TruePeakScope scope : {TruePeakScope::WhereItLimits, TruePeakScope::Everywhere}) {
            std::optional<Loudness> loudness;
            const Timing measured = timed([&] { loudness = measureLoudness(file, &error, nullptr, scope); });
            if (!loudness) {
                std::printf("loudness failed: %s\n", qPrintable(error));
                continue;
            }
            std::printf("loudness of 1 h %s, %s: %.0f ms wall, %.0f ms CPU (%.2f LUFS, %.2f dBTP%s)\n",
                        file.endsWith(QLatin1String(".mp3")) ? "MP3" : "WAV",
                        scope == TruePeakScope::Everywhere ? "true peak everywhere"
                                                           : "true peak where it limits levelling",
                        measured.wallMs, measured.cpuMs, loudness->integratedLufs,
                        loudness->truePeakDbtp,
                        loudness->truePeakComplete ? "" : " or up to 3 dB more, not limiting");
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    test::ensureMediaRuntime();
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("noise.wav"));
    const QString tone = dir.filePath(QStringLiteral("tone.wav"));
    if (!test::writeWave(test::testSignal(300, kRate, QStringLiteral("wave=pink-noise volume=0.5")), wav, 300) ||
        !test::writeWave(test::testSignal(60, kRate, QStringLiteral("wave=sine freq=440 volume=0.5")), tone, 300)) {
        std::printf("cannot make the test files\n");
        return 1;
    }
    // --hour-only leaves out the spans and the pitch, for timing the hour alone.
    if (!app.arguments().contains(QStringLiteral("--hour-only"))) {
        spanFigures(wav);
        pitchFigures(tone);
    }

    QString hourMp3 = qEnvironmentVariable("DICTORA_BENCH_HOUR_MP3");
    QString hourWav = qEnvironmentVariable("DICTORA_BENCH_HOUR_WAV");
    if (hourMp3.isEmpty()) {
        hourWav = dir.filePath(QStringLiteral("hour.wav"));
        hourMp3 = dir.filePath(QStringLiteral("hour.mp3"));
        std::printf("making an hour of MP3 (takes a while)...\n");
        std::fflush(stdout);
        if (!test::runPipeline(QStringLiteral("audiotestsrc wave=pink-noise volume=0.3 "
                                              "samplesperbuffer=4410 num-buffers=36000 ! "
                                              "audio/x-raw,format=S16LE,rate=44100,channels=1 ! "
                                              "wavenc ! filesink location=\"%1\"")
                                   .arg(hourWav),
                               600) ||
            !test::runLame({QStringLiteral("-b"), QStringLiteral("64"), hourWav, hourMp3}, 900000)) {
            std::printf("cannot make the hour of MP3\n");
            return 1;
        }
    }
    hourFigures(hourMp3, hourWav);
    return 0;
}
