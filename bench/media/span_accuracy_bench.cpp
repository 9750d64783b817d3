// SPDX-License-Identifier: GPL-3.0-or-later
// How exactly and how quickly spans play, per format: 20 spans each out of a
// WAV, a constant- and a variable-bitrate MP3 (lame, with its LAME header), an
// Ogg Vorbis and an AAC-in-MP4 file made from one noise signal; also an MP3
// without any header and the AAC file with and without its encoder delay stated.
//
// For each span: the media time of the first sample the sink receives against
// From, the samples delivered against To - From (both counted at the sink,
// after clipping to the segment as an audio sink clips), and where the heard
// sound really starts in the source signal (found by cross-correlation, so an
// encoder delay that the timestamps hide still shows). Also Status Length
// against the true length, and the time from the play command to the first
// buffer rendered by a clocked sink, for a media span and for a sound cue.
#include "heard_start.h"
#include "platform/media/audio_delivery_meter.h"
#include "platform/media/gst_media_commands.h"
#include "platform/media/media_device.h"
#include "support/media_making.h"
#include "support/media_runtime.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMutex>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <benchmark/benchmark.h>
#include <gst/audio/audio.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using dictora::AudioDeliveryMeter;
using dictora::GstMediaCommands;
using dictora::bench::heardOffset;
using dictora::bench::HeardStart;
using dictora::test::runLame;
using dictora::test::runPipeline;
using dictora::test::statePriming;
using dictora::test::testSignal;
using dictora::test::writeWave;

constexpr int kRate = 44100;
constexpr int kSourceSeconds = 30;
constexpr int kSpans = 20;
constexpr int kSearchSamples = 4410; // +-100 ms
// Encoding the 30 s corpus on a busy machine can take a while.
constexpr int kPipelineSeconds = 300;
constexpr int kLameMs = 120000;

void runEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Corpus {
    QTemporaryDir dir;
    QString wav;
    std::vector<float> left; // the source's first channel
    QString cue;
};

Corpus& corpus()
{
    static Corpus* made = [] {
        auto* c = new Corpus;
        c->wav = c->dir.filePath(QStringLiteral("source.wav"));
        writeWave(
            testSignal(kSourceSeconds * 10, kRate, QStringLiteral("wave=pink-noise volume=0.5")),
            c->wav, kPipelineSeconds);
        QFile file(c->wav);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        for (qsizetype at = 44; at + 3 < bytes.size(); at += 4)
            c->left.push_back(float(qFromLittleEndian<qint16>(bytes.constData() + at)) / 32768.f);
        c->cue = c->dir.filePath(QStringLiteral("cue.wav"));
        writeWave(testSignal(3, 44100, QStringLiteral("wave=sine freq=880")), c->cue,
                  kPipelineSeconds);
        return c;
    }();
    return *made;
}

QString encode(const QString& format)
{
    Corpus& c = corpus();
    const QString out = c.dir.filePath(QStringLiteral("encoded.") + format);
    if (QFile::exists(out))
        return out;
    bool ok = false;
    if (format == QLatin1String("wav"))
        return c.wav;
    if (format == QLatin1String("cbr.mp3"))
        ok = runLame({QStringLiteral("-b"), QStringLiteral("128"), c.wav, out}, kLameMs);
    else if (format == QLatin1String("vbr.mp3"))
        ok = runLame({QStringLiteral("-V"), QStringLiteral("2"), c.wav, out}, kLameMs);
    else if (format == QLatin1String("bare-vbr.mp3"))
        ok = runLame({QStringLiteral("-V"), QStringLiteral("2"), QStringLiteral("-t"), c.wav, out},
                     kLameMs);
    else if (format == QLatin1String("ogg"))
        ok = runPipeline(
            QStringLiteral("filesrc location=\"%1\" ! wavparse ! audioconvert ! vorbisenc "
                           "quality=0.5 ! oggmux ! filesink location=\"%2\"")
                .arg(c.wav, out),
            kPipelineSeconds);
    else if (format == QLatin1String("m4a"))
        ok = runPipeline(
            QStringLiteral("filesrc location=\"%1\" ! wavparse ! audioconvert ! avenc_aac "
                           "bitrate=128000 ! mp4mux ! filesink location=\"%2\"")
                .arg(c.wav, out),
            kPipelineSeconds);
    else if (format == QLatin1String("delay.m4a"))
        ok = statePriming(encode(QStringLiteral("m4a")), out, kSourceSeconds);
    return ok ? out : QString();
}

struct Figures {
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    double median() const
    {
        if (values.empty())
            return NAN;
        std::vector<double> s = values;
        std::sort(s.begin(), s.end());
        return s.size() % 2 ? s[s.size() / 2] : (s[s.size() / 2 - 1] + s[s.size() / 2]) / 2;
    }
    double worst() const
    {
        double w = 0;
        for (double v : values)
            w = std::max(w, std::abs(v));
        return values.empty() ? NAN : w;
    }
};

GstElement* makeSink(bool sync, AudioDeliveryMeter* meter, HeardStart* capture)
{
    GstElement* bin = gst_parse_bin_from_description(
        sync ? "audioconvert ! audio/x-raw,format=F32LE,layout=interleaved ! fakesink name=out "
               "sync=true"
             : "audioconvert ! audio/x-raw,format=F32LE,layout=interleaved ! fakesink name=out "
               "sync=false",
        TRUE, nullptr);
    GstElement* sink = gst_bin_get_by_name(GST_BIN(bin), "out");
    meter->attach(sink);
    if (capture)
        g_signal_connect(sink, "handoff", G_CALLBACK(&HeardStart::onHandoff), capture);
    gst_object_unref(sink);
    return bin;
}

bool waitStopped(GstMediaCommands& commands, const QString& alias, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 2) {
        if (commands.send(QStringLiteral("Status %1 Mode").arg(alias)) != QLatin1String("playing"))
            return true;
        runEvents(2);
    }
    return false;
}

void spanAccuracy(benchmark::State& state, const char* format)
{
    const QString path = encode(QString::fromLatin1(format));
    if (path.isEmpty()) {
        state.SkipWithError("encoder missing");
        return;
    }
    AudioDeliveryMeter meter;
    HeardStart capture;
    Figures startErr, durationErr, contentErr, latencyMs;
    double lengthErrMs = NAN;
    for (auto _ : state) {
        // Accuracy: unclocked, so 20 spans take moments.
        {
            GstMediaCommands::Options options;
            options.makeAudioSink = [&] { return makeSink(false, &meter, &capture); };
            GstMediaCommands commands(options);
            commands.send(QStringLiteral("Open \"%1\" Type MPEGVideo Alias MYSHOW").arg(path));
            lengthErrMs = commands.send(QStringLiteral("Status MYSHOW Length")).toDouble() -
                          kSourceSeconds * 1000.0;
            QRandomGenerator random(7);
            for (int i = 0; i < kSpans; ++i) {
                const qint64 from = random.bounded(0, (kSourceSeconds - 4) * 1000);
                const qint64 to = from + random.bounded(800, 3000);
                meter.reset();
                capture.reset();
                commands.send(QStringLiteral("Play MYSHOW From %1 To %2").arg(from).arg(to));
                waitStopped(commands, QStringLiteral("MYSHOW"), 10000);
                const auto d = meter.delivery();
                startErr.add(double(d.firstSampleNs) * kRate / GST_SECOND -
                             double(from) * kRate / 1000);
                durationErr.add(double(d.samples) - double(to - from) * kRate / 1000);
                if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
                    std::printf("  span %lld-%lld first %.3f ms samples %lld\n", from, to,
                                d.firstSampleNs / 1e6, d.samples);
                QMutexLocker lock(&capture.mutex);
                if (const auto offset = heardOffset(capture.samples, corpus().left,
                                                    from * kRate / 1000, kSearchSamples))
                    contentErr.add(*offset);
            }
        }
        // Latency: a clocked sink, as a sound card would pace it.
        {
            GstMediaCommands::Options options;
            options.makeAudioSink = [&] { return makeSink(true, &meter, nullptr); };
            GstMediaCommands commands(options);
            commands.send(QStringLiteral("Open \"%1\" Type MPEGVideo Alias MYSHOW").arg(path));
            QRandomGenerator random(11);
            for (int i = 0; i < kSpans; ++i) {
                const qint64 from = random.bounded(0, (kSourceSeconds - 4) * 1000);
                meter.reset();
                const qint64 sent = g_get_monotonic_time();
                commands.send(
                    QStringLiteral("Play MYSHOW From %1 To %2").arg(from).arg(from + 150));
                waitStopped(commands, QStringLiteral("MYSHOW"), 5000);
                const auto d = meter.delivery();
                if (d.firstArrivalUs > 0)
                    latencyMs.add(double(d.firstArrivalUs - sent) / 1000.0);
            }
        }
    }
    state.counters["start_err_median_samples"] = startErr.median();
    state.counters["start_err_worst_samples"] = startErr.worst();
    state.counters["duration_err_median_samples"] = durationErr.median();
    state.counters["duration_err_worst_samples"] = durationErr.worst();
    state.counters["heard_start_median_samples"] = contentErr.median();
    state.counters["heard_start_worst_samples"] = contentErr.worst();
    state.counters["length_err_ms"] = lengthErrMs;
    state.counters["play_to_first_buffer_median_ms"] = latencyMs.median();
    state.counters["play_to_first_buffer_worst_ms"] = latencyMs.worst();
    std::printf(
        "%-13s start err median %7.1f worst %7.1f | duration err median %7.1f worst %7.1f "
        "| heard start median %7.1f worst %7.1f (%zu matched) samples | length err %6.1f ms "
        "| play->first buffer median %5.1f worst %5.1f ms\n",
        format, startErr.median(), startErr.worst(), durationErr.median(), durationErr.worst(),
        contentErr.median(), contentErr.worst(), contentErr.values.size(), lengthErrMs,
        latencyMs.median(), latencyMs.worst());
}

void cueLatency(benchmark::State& state)
{
    AudioDeliveryMeter meter;
    Figures latencyMs;
    for (auto _ : state) {
        GstMediaCommands::Options options;
        options.makeAudioSink = [&] { return makeSink(true, &meter, nullptr); };
        GstMediaCommands commands(options);
        commands.send(QStringLiteral("Open \"%1\" Type MPEGVideo Alias TIP_WAV").arg(corpus().cue));
        for (int i = 0; i < kSpans; ++i) {
            runEvents(50); // cues come seconds apart; let the device settle
            meter.reset();
            const qint64 sent = g_get_monotonic_time();
            commands.send(QStringLiteral("Play TIP_WAV From 0 "));
            waitStopped(commands, QStringLiteral("TIP_WAV"), 5000);
            const auto d = meter.delivery();
            if (d.firstArrivalUs > 0)
                latencyMs.add(double(d.firstArrivalUs - sent) / 1000.0);
        }
    }
    state.counters["cue_to_first_buffer_median_ms"] = latencyMs.median();
    state.counters["cue_to_first_buffer_worst_ms"] = latencyMs.worst();
    std::printf("cue           play->first buffer median %5.2f worst %5.2f ms (%zu plays)\n",
                latencyMs.median(), latencyMs.worst(), latencyMs.values.size());
}

BENCHMARK_CAPTURE(spanAccuracy, wav, "wav")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(spanAccuracy, cbr_mp3, "cbr.mp3")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(spanAccuracy, vbr_mp3, "vbr.mp3")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(spanAccuracy, bare_vbr_mp3, "bare-vbr.mp3")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(spanAccuracy, ogg_vorbis, "ogg")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(spanAccuracy, aac_mp4, "m4a")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(spanAccuracy, aac_mp4_stated_delay, "delay.m4a")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(cueLatency)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    gst_init(&argc, &argv);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
