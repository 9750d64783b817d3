// SPDX-License-Identifier: GPL-3.0-or-later
// How quickly the speech worker answers: the time a new request takes to
// abandon a sentence in mid-flow (requestSpeech returns once the old sound is
// dropped and the worker is free), and the time from a request to the first
// buffer a clocked sink renders. Both through a fakesink with sync=true, so
// the voice plays in real time as on a sound card.
#include "platform/speech/speech_worker.h"

#include <benchmark/benchmark.h>
#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using namespace dictora;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const QString kLongText = QStringLiteral(
    "The quick brown fox jumps over the lazy dog while the patient teacher reads every "
    "sentence of the lesson slowly and clearly to the class.");

std::atomic<int64_t> firstBufferNs{0};

void onHandoff(GstElement*, GstBuffer*, GstPad*, gpointer)
{
    int64_t expected = 0;
    const int64_t now = Clock::now().time_since_epoch() / 1ns;
    firstBufferNs.compare_exchange_strong(expected, now);
}

SpeechWorker::Options clockedSink()
{
    SpeechWorker::Options options;
    options.makeSink = [](QString*) -> GstElement* {
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", TRUE, "signal-handoffs", TRUE, nullptr);
        g_signal_connect(sink, "handoff", G_CALLBACK(onHandoff), nullptr);
        return sink;
    };
    return options;
}

void report(const char* what, std::vector<double> ms)
{
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    std::printf("%-40s n=%zu median %.2f ms, worst %.2f ms\n", what, ms.size(), ms[ms.size() / 2],
                ms.back());
}

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void BM_AbandonSentence(benchmark::State& state)
{
    gst_init(nullptr, nullptr);
    SpeechWorker worker(clockedSink());
    std::vector<double> abandonMs;
    int turn = 0;
    for (auto _ : state) {
        worker.setSpeechText(kLongText + QString::number(turn++));
        worker.requestSpeech();
        worker.waitUntil([&] { return worker.speechPos() > 10; }, 5s);
        const auto start = Clock::now();
        worker.setSpeechText(QStringLiteral("Stop here %1.").arg(turn));
        worker.requestSpeech();
        const auto end = Clock::now();
        state.SetIterationTime(msBetween(start, end) / 1000.0);
        abandonMs.push_back(msBetween(start, end));
        worker.waitUntil([&] { return !worker.speechPending(); }, 5s);
    }
    report("abandon a sentence in mid-flow", abandonMs);
}
BENCHMARK(BM_AbandonSentence)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_RequestToFirstSound(benchmark::State& state)
{
    gst_init(nullptr, nullptr);
    SpeechWorker worker(clockedSink());
    std::vector<double> firstSoundMs;
    int turn = 0;
    for (auto _ : state) {
        firstBufferNs = 0;
        const auto start = Clock::now();
        worker.setSpeechText(QStringLiteral("Good morning number %1.").arg(turn++));
        worker.requestSpeech();
        worker.waitUntil([&] { return firstBufferNs.load() != 0 || !worker.speechPending(); }, 5s);
        const Clock::time_point heard{std::chrono::nanoseconds(firstBufferNs.load())};
        if (firstBufferNs.load() != 0) {
            state.SetIterationTime(msBetween(start, heard) / 1000.0);
            firstSoundMs.push_back(msBetween(start, heard));
        }
        worker.waitUntil([&] { return !worker.speechPending(); }, 5s);
    }
    report("request to first rendered buffer", firstSoundMs);
}
BENCHMARK(BM_RequestToFirstSound)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
