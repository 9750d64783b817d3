// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-answer marking of a 500-character answer (target 100 µs), and
// the study record read as its window reads it, over 100,000 answers
// (target, with the window's drawing: 100 ms).
#include "core/dictation/answer_diff.h"
#include "core/history/history_window_data.h"
#include "core/history/study_record.h"
#include "large_record.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace dictora;

namespace {

const QStringList kSentenceWords = QString("the quick brown fox jumps over lazy dog while learners write every "
                                   "sentence they hear from morning until night without stopping")
                               .split(' ');

// About 500 characters of English and an answer with a missing word, an
// extra word and a few typos.
std::pair<QString, QString> latinPair()
{
    QRandomGenerator random(7);
    QStringList sentence;
    while (sentence.join(' ').size() < 500)
        sentence << kSentenceWords[int(random.bounded(kSentenceWords.size()))];
    QStringList answer = sentence;
    answer.removeAt(10);
    answer.insert(40, "extra");
    for (int k : {5, 25, 60})
        answer[k] = answer[k].left(answer[k].size() - 1) + "x";
    return {sentence.join(' ') + '.', answer.join(' ')};
}

std::pair<QString, QString> chinesePair()
{
    QString sentence;
    for (int k = 0; k < 500; ++k)
        sentence += QChar(0x4E00 + (k * 37) % 3000);
    QString answer = sentence;
    answer.remove(100, 2);
    answer[250] = QChar(0x9000);
    answer.insert(400, QChar(0x9001));
    return {sentence, answer};
}

void diffLatin500(benchmark::State& run)
{
    const auto [sentence, answer] = latinPair();
    for (auto _ : run)
        benchmark::DoNotOptimize(diffAnswer(sentence, answer));
    run.counters["chars"] = double(answer.size());
}
BENCHMARK(diffLatin500)->Unit(benchmark::kMicrosecond);

void diffChinese500(benchmark::State& run)
{
    const auto [sentence, answer] = chinesePair();
    for (auto _ : run)
        benchmark::DoNotOptimize(diffAnswer(sentence, answer));
    run.counters["chars"] = double(answer.size());
}
BENCHMARK(diffChinese500)->Unit(benchmark::kMicrosecond);

void readRecordForWindow(benchmark::State& run)
{
    static LargeRecord large;
    for (auto _ : run) {
        const HistoryWindowData data = readHistory(large.record, large.now);
        benchmark::DoNotOptimize(data);
    }
    run.counters["answers"] = large.record.answerCount();
}
BENCHMARK(readRecordForWindow)->Unit(benchmark::kMillisecond);

void appendOneAnswer(benchmark::State& run)
{
    static LargeRecord large;
    AnswerEntry e;
    e.answeredAt = large.now;
    e.unit = "Unit";
    e.sentence = "One more sentence.";
    e.missedWords = {"more"};
    for (auto _ : run)
        large.record.append(e);
}
BENCHMARK(appendOneAnswer)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
